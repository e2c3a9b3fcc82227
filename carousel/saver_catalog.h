#pragma once
// The screen savers installed on this machine, and whether a stored one can run. Win32.
#include <string>
#include <vector>

#include "carousel_settings.h"

namespace carousel {

// Every .scr in the system's screen-saver folders as this process sees them (the system folder and
// the Windows folder), without Carousel itself, sorted by display name, deduplicated.
std::vector<std::string> InstalledSavers();
// The same from the given folders, searched in their order.
std::vector<std::string> InstalledSaversIn(const std::vector<std::string>& folders);

// The saver's own name (its string 1), else the file name without ".scr".
std::string SaverDisplayName(const std::string& path);

// Exists, readable, a PE image (MZ and a PE header within the file) and not Carousel itself; why
// says what failed, for the trace (may be null).
bool IsUsableSaver(const std::string& path, std::string* why);

// The list a run uses: the stored list (or every installed saver when it is empty), unusable ones
// skipped (traced). May be empty: the run then shows black on every monitor.
std::vector<std::string> UsableSavers(const Settings& settings);

}  // namespace carousel
