#include "monitor/corner_resources.h"

#include "monitor/corner_geometry.h"
#include "core/library.h"
#include "core/resource_ids.h"

namespace morvane {

namespace {

CornerResources cornerResources;
bool made;

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
  cornerResources.monitorBitmap = LoadBitmapA(libraryState.module, MAKEINTRESOURCEA(IDB_MONITOR));
  for (int state = 0; state < CornerStateCount; ++state) {
    cornerResources.markBitmaps[state] =
        LoadBitmapA(libraryState.module, MAKEINTRESOURCEA(cornerMarkIds[state]));
  }
  SIZE picture = BitmapSize(cornerResources.monitorBitmap);
  cornerResources.monitorPictureSize = SIZE{picture.cx / 2, picture.cy};
  cornerResources.markerSize = BitmapSize(cornerResources.markBitmaps[0]);
}

// Without all eight numbers of the geometry string the rectangles stay empty.
void LayOutCorners() {
  char text[NameCapacity];
  CornerPoint points[CornerCount];
  if (!LoadFrameworkString(IDS_SCREEN_CORNERS, text, sizeof text)) return;
  if (!ParseScreenCorners(text, points)) return;
  CornerBox marks[CornerCount];
  CornerBox screen;
  BuildCornerBoxes(points, cornerResources.markerSize.cx, cornerResources.markerSize.cy, marks,
                   &screen);
  for (int corner = 0; corner < CornerCount; ++corner)
    cornerResources.cornerRects[corner] = ToRect(marks[corner]);
  cornerResources.monitorScreenRect = ToRect(screen);
}

void CreateCornerResources() {
  for (int corner = 0; corner < CornerCount; ++corner) {
    SetRectEmpty(&cornerResources.cornerRects[corner]);
    cornerResources.menus[corner] = nullptr;
  }
  SetRectEmpty(&cornerResources.monitorScreenRect);
  for (int corner = 0; corner < CornerCount; ++corner)
    cornerResources.menus[corner] = BuildCornerMenu(corner);
  LoadBitmaps();
  LayOutCorners();
}

}  // namespace

const CornerResources& Corners() {
  if (!made) CreateCornerResources();
  made = true;
  return cornerResources;
}

bool CornerResourcesMade() {
  return made;
}

void ReleaseCornerResources() {
  made = false;
  if (cornerResources.monitorBitmap) DeleteObject(cornerResources.monitorBitmap);
  cornerResources.monitorBitmap = nullptr;
  for (HBITMAP& mark : cornerResources.markBitmaps) {
    if (mark) DeleteObject(mark);
    mark = nullptr;
  }
  for (HMENU& menu : cornerResources.menus) {
    if (menu) DestroyMenu(menu);
    menu = nullptr;
  }
}

}  // namespace morvane
