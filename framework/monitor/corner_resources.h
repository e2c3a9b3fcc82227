#pragma once
// The hot-corner menus, bitmaps and geometry shared by every monitor control and the General page;
// they live from InitLibrary to CloseLibrary.
#include <windows.h>

namespace morvane {

enum { CornerCount = 4, CornerStateCount = 3 };

// Menu command of a corner's state: 0x1000 + 0x100 * corner + state.
enum { CornerMenuFirstId = 0x1000, CornerMenuIdStride = 0x100 };

extern HMENU cornerMenus[CornerCount];
extern HBITMAP monitorBitmap;                        // picture on the left, its mask on the right
extern HBITMAP cornerMarkBitmaps[CornerStateCount];  // Default, Now, Never
extern SIZE monitorPictureSize;                      // half the width of the monitor bitmap
extern SIZE markerSize;                              // the size of the Default mark
extern RECT cornerRects[CornerCount];
extern RECT monitorScreenRect;

// Builds menus, bitmaps and rectangles; whatever fails to load stays empty, unreported.
void CreateCornerResources();
// Deletes and clears whatever CreateCornerResources made.
void ReleaseCornerResources();

}  // namespace morvane
