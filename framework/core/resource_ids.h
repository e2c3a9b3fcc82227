/* Identifiers of the framework's own resources; shared by its code and its resource script. */
#ifndef MORVANE_RESOURCE_IDS_H
#define MORVANE_RESOURCE_IDS_H

#define IDS_COMPANION_NAME         50
#define IDS_COMPANION_START_FAILED 51
#define IDS_COMPANION_NO_ANSWER    52
#define IDS_COMPANION_INIT_FAILED  53
#define IDS_COMPANION_NOT_FOUND    54
#define IDS_COMPANION_NO_CHILD     55
#define IDS_WRONG_INSTALL          56

#define IDS_SETTINGS_KEY           500
#define IDS_PASSWORD_DELAY         501
#define IDS_PASSWORD_DELAY_INDEX   502
#define IDS_MOUSE_THRESHOLD        503
#define IDS_MOUSE_THRESHOLD_INDEX  504
#define IDS_MOUSE_CORNERS          505
#define IDS_MUTE_SOUND             506
#define IDS_ACTIVE_CONFIG          507

#define IDB_MONITOR                3010
#define IDB_MARK_DEFAULT           3011
#define IDB_MARK_NOW               3012
#define IDB_MARK_NEVER             3013

#define IDS_CORNER_DEFAULT         3050
#define IDS_CORNER_NOW             3051
#define IDS_CORNER_NEVER           3052
#define IDS_SCREEN_CORNERS         3055
#define IDS_WARNING_CAPTION        3057
#define IDS_AGENT_WARNING          3058

#define IDS_ABOUT_ITEM             3500
#define IDS_SHEET_CAPTION          3501
#define IDS_PASSWORD_ROUTER        3520
#define IDS_CHANGE_PASSWORD_PROC   3521
#define IDS_PASSWORD_PROVIDER_KEY  3522
#define IDS_DESKTOP_KEY            3523
#define IDS_USE_PASSWORD_VALUE     3524
#define IDS_PASSWORD_PROVIDER      3525
#define IDS_VERIFY_PASSWORD_PROC   3526
#define IDS_AGENT_LIBRARY          3530
#define IDS_AGENT_DETECT_PROC      3531
#define IDS_AGENT_CHANGED_PROC     3532
#define IDS_PLUS_HELP_FILE         3533
#define IDS_SENSITIVITY_HIGH       3534
#define IDS_SENSITIVITY_NORMAL     3535
#define IDS_SENSITIVITY_LOW        3536
#define IDS_SENSITIVITY_KEYBOARD   3537
#define IDS_UNIT_SECONDS           3538
#define IDS_UNIT_MINUTES           3539
#define IDS_ALWAYS_PASSWORD        3540
#define IDS_NEVER_PASSWORD         3541
#define IDS_HELP_FILE              3560

#define IDI_MORVANE                199

#define IDD_CONFIG_HOST            3600
#define IDD_GENERAL_PAGE           3601
#define IDD_ABOUT                  3602

#define IDC_HOST_PLACEHOLDER       3638
#define IDC_VERSION_GROUP          10
#define IDC_DISMISS_GROUP          3630
#define IDC_SENSITIVITY_LABEL      3631
#define IDC_SENSITIVITY            3632
#define IDC_WAIT_LABEL             3633
#define IDC_DELAY                  3634
#define IDC_DELAY_SPIN             3635
#define IDC_DELAY_UNIT             3636
#define IDC_DELAY_TAIL             3637
#define IDC_CORNERS_TEXT           3638
#define IDC_AGENT_TEXT             3639
#define IDC_CORNERS                3640
#define IDC_MUTE                   3641
#define IDC_ACTIVE_CONFIG          3643
#define IDC_PASSWORD_TEXT          3644

#define MORVANE_VERSION_TEXT       "1.5s"

#endif
