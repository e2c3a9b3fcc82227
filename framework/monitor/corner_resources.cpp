#include "monitor/corner_resources.h"

#include "monitor/corner_geometry.h"
#include "core/library.h"
#include "core/resource_ids.h"

namespace morvane {

HMENU cornerMenus[CornerCount];
HBITMAP monitorBitmap;
HBITMAP cornerMarkBitmaps[CornerStateCount];
SIZE monitorPictureSize;
SIZE markerSize;
RECT cornerRects[CornerCount];
RECT monitorScreenRect;

namespace {

const UINT cornerStateNames[CornerStateCount] = {IDS_CORNER_DEFAULT, IDS_CORNER_NOW,
                                                 IDS_CORNER_NEVER};
const UINT cornerMarkIds[CornerStateCount] = {IDB_MARK_DEFAULT, IDB_MARK_NOW, IDB_MARK_NEVER};

HMENU BuildCornerMenu(int corner) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return nullptr;
  for (int state = 0; state < CornerStateCount; ++state) {
    char text[NameCapacity];
    if (!LoadFrameworkString(cornerStateNames[state], text, sizeof text)) continue;
    UINT_PTR id = CornerMenuFirstId + CornerMenuIdStride * corner + state;
    AppendMenuA(menu, MF_STRING, id, text);
  }
  return menu;
}

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info = {};
  if (!bitmap || !GetObjectA(bitmap, sizeof info, &info)) return SIZE{0, 0};
  return SIZE{info.bmWidth, info.bmHeight};
}

RECT ToRect(const CornerBox& box) {
  return RECT{box.left, box.top, box.right, box.bottom};
}

void LoadBitmaps() {
  monitorBitmap = LoadBitmapA(frameworkModule, MAKEINTRESOURCEA(IDB_MONITOR));
  for (int state = 0; state < CornerStateCount; ++state) {
    cornerMarkBitmaps[state] = LoadBitmapA(frameworkModule, MAKEINTRESOURCEA(cornerMarkIds[state]));
  }
  SIZE picture = BitmapSize(monitorBitmap);
  monitorPictureSize = SIZE{picture.cx / 2, picture.cy};
  markerSize = BitmapSize(cornerMarkBitmaps[0]);
}

// Without all eight numbers of the geometry string the rectangles stay empty.
void LayOutCorners() {
  char text[NameCapacity];
  CornerPoint points[CornerCount];
  if (!LoadFrameworkString(IDS_SCREEN_CORNERS, text, sizeof text)) return;
  if (!ParseScreenCorners(text, points)) return;
  CornerBox marks[CornerCount];
  CornerBox screen;
  BuildCornerBoxes(points, markerSize.cx, markerSize.cy, marks, &screen);
  for (int corner = 0; corner < CornerCount; ++corner) cornerRects[corner] = ToRect(marks[corner]);
  monitorScreenRect = ToRect(screen);
}

}  // namespace

void CreateCornerResources() {
  for (int corner = 0; corner < CornerCount; ++corner) {
    SetRectEmpty(&cornerRects[corner]);
    cornerMenus[corner] = nullptr;
  }
  SetRectEmpty(&monitorScreenRect);
  for (int corner = 0; corner < CornerCount; ++corner) cornerMenus[corner] = BuildCornerMenu(corner);
  LoadBitmaps();
  LayOutCorners();
}

void ReleaseCornerResources() {
  if (monitorBitmap) DeleteObject(monitorBitmap);
  monitorBitmap = nullptr;
  for (HBITMAP& mark : cornerMarkBitmaps) {
    if (mark) DeleteObject(mark);
    mark = nullptr;
  }
  for (HMENU& menu : cornerMenus) {
    if (menu) DestroyMenu(menu);
    menu = nullptr;
  }
}

}  // namespace morvane
