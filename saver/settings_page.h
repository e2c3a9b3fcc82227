#pragma once
// The saver's page in the configuration sheet (dialog 2003): the number of lights, the glow, the
// monitors the full-screen saver draws on, and a live preview. Every change is stored at once and
// shown in the preview; Cancel puts back what was stored when the page opened.
#include <windows.h>

INT_PTR CALLBACK GlimmerPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
