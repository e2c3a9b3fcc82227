#pragma once
// The user's settings: current values, the copies last loaded or applied, and their registry store
// under HKEY_CURRENT_USER. Never shared between threads; each user reads the registry afresh.
#include <windows.h>

#include <cstdint>

#include "morvane.h"

namespace morvane {

// One set of the user's saver settings, as the registry holds them.
struct SettingValues {
  // Corner codes in corner order.
  uint8_t corners[4] = {};
  int32_t muteSound = 0;
  int32_t mouseThreshold = 0;
  uint32_t mouseThresholdIndex = 0;
  int32_t passwordDelay = 0;
  uint32_t passwordDelayIndex = 0;
  int32_t activeConfig = 0;
};

// Whether every value of one set equals the other's.
bool SameValues(const SettingValues& a, const SettingValues& b);

class UserSettings {
 public:
  // Defaults, then the registry, then Remember.
  UserSettings();

  // Loads what the registry holds into the current values; a missing key or value leaves the
  // value as it is.
  void ReadRegistry();
  // Stores the current values: 0 on success (or when the key name is missing), else the registry
  // error of opening the key.
  LONG WriteRegistry();
  // Makes the current values the remembered ones.
  void Remember();
  // Whether the current values equal the remembered ones.
  bool MatchesRemembered() const;
  // Puts the remembered values back as the current ones.
  void RestoreRemembered();

  // What the user has chosen so far.
  SettingValues current;
  // What was last loaded or applied, for the sheet's Cancel.
  SettingValues remembered;
  // Set by the General page while it fills its controls.
  int32_t inSetup = 0;
};

// Copies the current values a saver sees into the summary; its size stays as the caller set it.
void SummariseSettings(const UserSettings& userSettings, ScrSettings* settings);

}  // namespace morvane
