#pragma once
// The configuration sheet's caption and icons. A saver may override each from its own module;
// what its module lacks comes from the framework's.
#include <windows.h>

#include "core/library.h"

namespace morvane {

struct SheetLook {
  char caption[NameCapacity];
  HICON largeIcon;  // null when no icon loaded
  HICON smallIcon;  // 16 by 16; null when no icon loaded
};

// Loads string 3501 and icons 100 and 199 from the saver's module, else the framework's.
void LoadSheetLook(SheetLook* look);
// Destroys the icons LoadSheetLook loaded.
void ReleaseSheetLook(SheetLook* look);

}  // namespace morvane
