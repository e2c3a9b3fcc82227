#pragma once
// A monitor as a test lists it: key, origin and size, and whether it is the primary one.
#include <cstring>

#include "displays/display_layout.h"

inline morvane::DesktopMonitor Monitor(const char* key, int32_t left, int32_t top, int32_t width,
                                       int32_t height, bool primary = false) {
  morvane::DesktopMonitor monitor = {};
  monitor.area = {left, top, left + width, top + height};
  monitor.primary = primary;
  std::strncpy(monitor.key, key, sizeof monitor.key - 1);
  return monitor;
}
