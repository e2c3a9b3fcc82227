#include "settings/user_settings.h"
#include "core/library.h"

#include <cstddef>
#include <cstring>

namespace morvane {

static_assert(sizeof(ScrSettings) == 24, "ScrSettings is 24 bytes");
static_assert(offsetof(ScrSettings, corners) == 4 && offsetof(ScrSettings, muteSound) == 8,
              "corners between size and mute");
static_assert(offsetof(ScrSettings, activeConfig) == 20, "no gaps");

void SummariseSettings(const UserSettings& userSettings, ScrSettings* settings) {
  const SettingValues& values = userSettings.current;
  std::memcpy(settings->corners, values.corners, sizeof settings->corners);
  settings->muteSound = values.muteSound;
  settings->mouseThreshold = values.mouseThreshold;
  settings->passwordDelay = values.passwordDelay;
  settings->activeConfig = values.activeConfig;
}

}  // namespace morvane
// The public operations: C linkage in the global namespace, built on the internals.
using namespace morvane;

extern "C" void WINAPI ScrGetSettings(ScrSettings* settings) {
  EnsureLibrary();
  if (!settings) return;
  UserSettings userSettings;
  userSettings.ReadRegistry();
  SummariseSettings(userSettings, settings);
}
