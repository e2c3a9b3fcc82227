#pragma once
// Carousel's page in the configuration sheet (dialog 2003 of settings_page.rc): the savers to show,
// checked and in order, the monitors' and the order's choices and the cycle. Nothing is stored
// before OK; Cancel leaves the stored settings as they were.
#include <windows.h>

namespace carousel {

// The page's list view and up-down control: before the sheet is shown.
void RegisterPageControls();

INT_PTR CALLBACK CarouselPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace carousel
