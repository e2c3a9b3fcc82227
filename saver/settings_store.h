#pragma once
// The saver's settings in the registry (HKEY_CURRENT_USER, saverSettingsKey).
#include "saver_settings.h"

// Every value clamped; missing or malformed values give their defaults.
SaverSettings ReadSaverSettings();

// Writes every value (clamped). False when the key cannot be opened or a value not written.
bool WriteSaverSettings(const SaverSettings& settings);
