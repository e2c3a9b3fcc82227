#pragma once
// Resource ids of Carousel's settings page. The framework looks for the saver's page under 2003 in
// the saver's module.
#define IDD_CAROUSEL_PAGE     2003

#define IDC_CAROUSEL_SAVERS   2101
#define IDC_CAROUSEL_UP       2102
#define IDC_CAROUSEL_DOWN     2103
#define IDC_CAROUSEL_SETTINGS 2104
#define IDC_CAROUSEL_PREVIEW  2105
#define IDC_CAROUSEL_EACH     2106
#define IDC_CAROUSEL_SAME     2107
#define IDC_CAROUSEL_LIST     2108
#define IDC_CAROUSEL_RANDOM   2109
#define IDC_CAROUSEL_CYCLE    2110
#define IDC_CAROUSEL_CYCLE_UD 2111
