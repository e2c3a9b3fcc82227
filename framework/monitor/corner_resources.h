#pragma once
// The hot-corner menus, bitmaps and geometry shared by every monitor control and the General page;
// they live from InitLibrary to CloseLibrary.
#include <windows.h>

namespace morvane {

enum { CornerCount = 4, CornerStateCount = 3 };

// Menu command of a corner's state: 0x1000 + 0x100 * corner + state.
enum { CornerMenuFirstId = 0x1000, CornerMenuIdStride = 0x100 };

// Menus, pictures and geometry of the monitor control, made once for every control.
struct CornerResources {
  HMENU menus[CornerCount];
  HBITMAP monitorBitmap;                  // picture on the left, its mask on the right
  HBITMAP markBitmaps[CornerStateCount];  // Default, Now, Never
  SIZE monitorPictureSize;                // half the width of the monitor bitmap
  SIZE markerSize;                        // the size of the Default mark
  RECT cornerRects[CornerCount];
  RECT monitorScreenRect;
};

extern CornerResources cornerResources;

// Builds menus, bitmaps and rectangles; whatever fails to load stays empty, unreported.
void CreateCornerResources();
// Deletes and clears whatever CreateCornerResources made.
void ReleaseCornerResources();

}  // namespace morvane
