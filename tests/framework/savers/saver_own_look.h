#ifndef MORVANE_SAVER_OWN_LOOK_H
#define MORVANE_SAVER_OWN_LOOK_H
/* The own-look saver's resources, shared by its program and its resource script. Its strings sit
   under ids that the framework uses for its own texts too. */

#define OWN_LOOK_ABOUT_ITEM     3500 /* the framework's system-menu item, beside the caption */
#define OWN_LOOK_CAPTION        3501
#define OWN_LOOK_CAPTION_TEXT   "Own Look Settings"
#define OWN_LOOK_TEXT_50        50
#define OWN_LOOK_TEXT_50_TEXT   "Own text 50"
#define OWN_LOOK_TEXT_3534      3534
#define OWN_LOOK_TEXT_3534_TEXT "Own text 3534"
#define OWN_LOOK_HELP_FILE      3560
#define OWN_LOOK_HELP_FILE_TEXT "ownlook.hlp"
#define OWN_LOOK_ICON           100
/* The colour of icon 100 (red.ico of tests/framework/config/sheet_icons.py), as 0x00RRGGBB. */
#define OWN_LOOK_ICON_PIXEL 0xE01010

#endif
