#include "settings/user_settings.h"
#include "core/library.h"

#include <cstddef>
#include <cstring>

namespace morvane {

static_assert(sizeof(ScrSettings) == 24, "ScrSettings is 24 bytes");
static_assert(offsetof(ScrSettings, corners) == 4 && offsetof(ScrSettings, muteSound) == 8,
              "corners between size and mute");
static_assert(offsetof(ScrSettings, activeConfig) == 20, "no gaps");

void SummariseSettings(const GeneralDialog& dialog, ScrSettings* settings) {
  std::memcpy(settings->corners, dialog.corners, sizeof settings->corners);
  settings->muteSound = dialog.muteSound;
  settings->mouseThreshold = dialog.mouseThreshold;
  settings->passwordDelay = dialog.passwordDelay;
  settings->activeConfig = dialog.activeConfig;
}

}  // namespace morvane
// The public operations: C linkage in the global namespace, built on the internals.
using namespace morvane;

extern "C" void WINAPI ScrGetSettings(ScrSettings* settings) {
  EnsureLibrary();
  if (!settings) return;
  GeneralDialog dialog;
  dialog.ReadRegistry();
  SummariseSettings(dialog, settings);
}
