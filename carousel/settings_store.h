#pragma once
// Carousel's settings in the registry: HKEY_CURRENT_USER\Software\Morvane\Carousel, values
// "Savers" (REG_MULTI_SZ), "Monitors" (REG_SZ), "Order" (REG_SZ), "Cycle" (REG_DWORD).
#include "carousel_settings.h"

namespace carousel {

extern const char settingsKey[];

// Missing or malformed values give their defaults, each one traced.
Settings ReadSettings();

// Writes every value. False when the key cannot be created or a value not written.
bool WriteSettings(const Settings& settings);

}  // namespace carousel
