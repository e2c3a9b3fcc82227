#pragma once
// Resource ids of glimmerbox.scr. The framework looks for the settings page under 2003 and the
// sheet's icon under 100 in the saver's module; Windows lists a saver by its string 1.
#define IDD_GLIMMER_PAGE          2003
#define IDI_GLIMMER               100
#define IDS_DESCRIPTION           1

#define IDC_PAGE_PREVIEW          2101
#define IDC_PAGE_LIGHTS           2102
#define IDC_PAGE_LIGHTS_UD        2103
#define IDC_PAGE_GLOW             2104
#define IDC_PAGE_MONITORS_EACH    2105
#define IDC_PAGE_MONITORS_PRIMARY 2106
#define IDC_PAGE_RATE_30          2107
#define IDC_PAGE_RATE_60          2108
#define IDC_PAGE_SHOW_RATE        2109
#define IDC_PAGE_RATE_DISPLAY     2110

// The scene's pictures, made at build time, carried inside the program.
#define IDR_WOOD_BMP   2201
#define IDR_WOOD2_BMP  2202
#define IDR_PLASMA_BMP 2203
