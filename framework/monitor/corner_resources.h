#pragma once
// The hot-corner menus, bitmaps and geometry shared by every monitor control and the General page;
// made at their first use, which a full-screen run never has (loading them cost its start as
// much as a bare window's whole start), and kept until CloseLibrary.
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

// The resources, built at the first call: whatever fails to load stays empty, unreported. The
// thread that shows monitor controls (the saver's).
const CornerResources& Corners();
bool CornerResourcesMade();
// Deletes and clears whatever Corners made; the next call builds them again.
void ReleaseCornerResources();

}  // namespace morvane
