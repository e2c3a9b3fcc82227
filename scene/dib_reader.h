#pragma once
// The BMP reader's one way of talking to the user. Tests point it elsewhere to read the texts,
// captions and owners without a box on the screen.
#include <windows.h>

using DibMessageBoxFn = int(WINAPI*)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// MessageBoxA unless replaced.
extern DibMessageBoxFn dibMessageBox;
