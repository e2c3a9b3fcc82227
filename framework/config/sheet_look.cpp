#include "config/sheet_look.h"

#include "core/resource_ids.h"
#include "run/saver_run.h"

namespace morvane {

namespace {

// The icon a saver draws for its sheet; the framework's own icon is the second choice.
enum { SaverSheetIcon = 100, SmallIconSize = 16 };

struct IconSource {
  HINSTANCE module;
  int id;
};

// NOTE: LoadImageA without LR_SHARED: the run destroys its icons when the sheet closes, which a
// shared icon from LoadIconA must never be.
HICON LoadFirstIcon(int size, UINT flags) {
  const IconSource sources[] = {{saverRun.instance, SaverSheetIcon},
                                {libraryState.module, SaverSheetIcon},
                                {saverRun.instance, IDI_MORVANE},
                                {libraryState.module, IDI_MORVANE}};
  for (const IconSource& source : sources) {
    // A null module would name the system's own (OEM) images.
    if (!source.module) continue;
    HANDLE icon =
        LoadImageA(source.module, MAKEINTRESOURCEA(source.id), IMAGE_ICON, size, size, flags);
    if (icon) return static_cast<HICON>(icon);
  }
  return nullptr;
}

void LoadCaption(char* caption) {
  caption[0] = 0;
  if (saverRun.instance &&
      LoadStringA(saverRun.instance, IDS_SHEET_CAPTION, caption, NameCapacity) > 0) {
    return;
  }
  LoadFrameworkString(IDS_SHEET_CAPTION, caption, NameCapacity);
}

}  // namespace

void LoadSheetLook(SheetLook* look) {
  LoadCaption(look->caption);
  look->largeIcon = LoadFirstIcon(0, LR_DEFAULTSIZE);
  look->smallIcon = LoadFirstIcon(SmallIconSize, LR_DEFAULTCOLOR);
}

void ReleaseSheetLook(SheetLook* look) {
  if (look->smallIcon) DestroyIcon(look->smallIcon);
  if (look->largeIcon) DestroyIcon(look->largeIcon);
  look->smallIcon = look->largeIcon = nullptr;
}

}  // namespace morvane
