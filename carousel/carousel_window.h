#pragma once
// The procedure of Carousel's windows: each full-screen window (one per monitor) and each preview
// hosts one saver's preview; what it does not handle goes to the framework's DefSaverProc.
#include <windows.h>

namespace carousel {

LRESULT CALLBACK CarouselProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace carousel
