#include "core/library.h"
#include "settings/prefs.h"
#include "core/resource_ids.h"

namespace morvane {

void CheckResources() {
  // NOTE: LoadImageA without LR_SHARED rather than LoadIconA: an icon from LoadIconA is shared
  // with the module and must not be passed to DestroyIcon.
  HANDLE icon = LoadImageA(libraryState.module, MAKEINTRESOURCEA(IDI_MORVANE), IMAGE_ICON, 0, 0,
                           LR_DEFAULTSIZE);
  if (icon) {
    DestroyIcon(static_cast<HICON>(icon));
    return;
  }
  MessageBoxA(nullptr, "You _MUST_ include the Morvane resources (morvane.res)", "Morvane", MB_OK);
}

}  // namespace morvane
