#pragma once
// Carousel's settings in the registry: HKEY_CURRENT_USER\Software\Morvane\Carousel, values
// "Savers" (REG_MULTI_SZ), "Monitors" (REG_SZ), "Order" (REG_SZ), "Cycle" (REG_DWORD).
#include "carousel_settings.h"

namespace carousel {

extern const char settingsKey[];

// The configuration page's "Preview" runs the page's choices before they are stored: it writes
// them under previewSettingsKey and starts the saver with previewEnvironment set to "1", and
// ReadSettings in that process reads them from there. The stored settings stay as they were
// whatever becomes of the page.
extern const char previewSettingsKey[];
extern const char previewEnvironment[];

// Missing or malformed values give their defaults, each one traced. From previewSettingsKey in a
// process started with previewEnvironment set to "1".
Settings ReadSettings();
// The same from the given key under HKEY_CURRENT_USER.
Settings ReadSettingsFrom(const char* keyName);

// Writes every value. False when the key cannot be created or a value not written.
bool WriteSettings(const Settings& settings);
bool WritePreviewSettings(const Settings& settings);

}  // namespace carousel
