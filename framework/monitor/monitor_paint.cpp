#include "monitor/corner_resources.h"
#include "monitor/monitor_style.h"
#include "monitor/monitor_window.h"

namespace morvane {

namespace {

// Over what the screen shows under the control (it erases nothing): the mask ANDed, then the
// picture XORed, so that where the mask is white and the picture black the background stays.
void ComposePicture(HDC canvas, HDC source, HWND control) {
  const CornerResources& corners = Corners();
  const SIZE picture = corners.monitorPictureSize;
  if (corners.monitorBitmap) {
    SelectObject(source, corners.monitorBitmap);
    BitBlt(canvas, 0, 0, picture.cx, picture.cy, source, picture.cx, 0, SRCAND);
    BitBlt(canvas, 0, 0, picture.cx, picture.cy, source, 0, 0, SRCINVERT);
  }
  uint32_t style = static_cast<uint32_t>(GetWindowLongPtrA(control, GWL_STYLE));
  if (MonitorModeOf(style) != MonitorModeCorners) return;
  for (int corner = 0; corner < CornerCount; ++corner) {
    HBITMAP mark = corners.markBitmaps[CornerStateOf(style, corner)];
    if (!mark) continue;
    SelectObject(source, mark);
    BitBlt(canvas, corners.cornerRects[corner].left, corners.cornerRects[corner].top,
           corners.markerSize.cx, corners.markerSize.cy, source, 0, 0, SRCCOPY);
  }
}

}  // namespace

void OnMonitorPaint(HWND control) {
  const SIZE picture = Corners().monitorPictureSize;
  PAINTSTRUCT paint;
  HDC screen = BeginPaint(control, &paint);
  HDC source = CreateCompatibleDC(screen);
  HDC canvas = CreateCompatibleDC(screen);
  HBITMAP canvasBitmap = CreateCompatibleBitmap(screen, picture.cx, picture.cy);
  if (source && canvas && canvasBitmap) {
    HGDIOBJ canvasBefore = SelectObject(canvas, canvasBitmap);
    HGDIOBJ sourceBefore = GetCurrentObject(source, OBJ_BITMAP);
    BitBlt(canvas, 0, 0, picture.cx, picture.cy, screen, 0, 0, SRCCOPY);
    ComposePicture(canvas, source, control);
    SelectObject(source, sourceBefore);
    BitBlt(screen, 0, 0, picture.cx, picture.cy, canvas, 0, 0, SRCCOPY);
    SelectObject(canvas, canvasBefore);
  }
  if (canvasBitmap) DeleteObject(canvasBitmap);
  if (canvas) DeleteDC(canvas);
  if (source) DeleteDC(source);
  EndPaint(control, &paint);
}

}  // namespace morvane
