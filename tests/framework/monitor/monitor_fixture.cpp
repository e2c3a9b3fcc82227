#include "monitor_fixture.h"

std::vector<PageCommand> pageCommands;
const COLORREF pageColour = RGB(0xC0, 0x40, 0xA0);

namespace {

INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  static HBRUSH brush = CreateSolidBrush(pageColour);
  switch (message) {
    case WM_INITDIALOG: return TRUE;
    case WM_CTLCOLORDLG: return reinterpret_cast<INT_PTR>(brush);
    case WM_COMMAND: pageCommands.push_back({wParam, lParam}); return TRUE;
    default: (void)page; return FALSE;
  }
}

Capture FromDc(HDC source, int x, int y, SIZE size) {
  Capture capture;
  capture.width = size.cx;
  capture.height = size.cy;
  capture.pixels.resize(static_cast<size_t>(size.cx) * size.cy);
  HDC memory = CreateCompatibleDC(source);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = size.cx;
  info.bmiHeader.biHeight = -size.cy;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ before = SelectObject(memory, section);
  BitBlt(memory, 0, 0, size.cx, size.cy, source, x, y, SRCCOPY);
  GdiFlush();
  const unsigned* words = static_cast<const unsigned*>(bits);
  for (size_t i = 0; i < capture.pixels.size(); ++i) capture.pixels[i] = words[i] & 0xFFFFFF;
  SelectObject(memory, before);
  DeleteObject(section);
  DeleteDC(memory);
  return capture;
}

void SendMouse(DWORD flags, POINT screen) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &input, sizeof input);
}

}  // namespace

HWND OpenPage(int id) {
  pageCommands.clear();
  HWND page =
      CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr, PageProc, 0);
  if (page) {
    SetForegroundWindow(page);
    UpdateWindow(page);
    PumpPending();
  }
  return page;
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return done();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  return true;
}

void PumpPending() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

Capture CaptureScreen(POINT origin, SIZE size) {
  HDC screen = GetDC(nullptr);
  Capture capture = FromDc(screen, origin.x, origin.y, size);
  ReleaseDC(nullptr, screen);
  return capture;
}

Capture LoadBitmapPixels(int id) {
  HBITMAP bitmap = static_cast<HBITMAP>(
      LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0));
  Capture capture;
  if (!bitmap) return capture;
  BITMAP description;
  GetObjectA(bitmap, sizeof description, &description);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ before = SelectObject(dc, bitmap);
  capture = FromDc(dc, 0, 0, {description.bmWidth, description.bmHeight});
  SelectObject(dc, before);
  DeleteDC(dc);
  DeleteObject(bitmap);
  return capture;
}

void ClickAt(POINT screen) {
  SendMouse(MOUSEEVENTF_MOVE, screen);
  SendMouse(MOUSEEVENTF_LEFTDOWN, screen);
  SendMouse(MOUSEEVENTF_LEFTUP, screen);
}
