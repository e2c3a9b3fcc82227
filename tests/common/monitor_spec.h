#pragma once
// A monitor as a test lists it: key, origin and size, and whether it is the primary one.
#include <cstring>

#include "displays/display_layout.h"

inline morvane::MonitorSpec Monitor(const char* key, int32_t left, int32_t top, int32_t width,
                                    int32_t height, bool primary = false) {
  morvane::MonitorSpec spec = {};
  spec.area = {left, top, left + width, top + height};
  spec.primary = primary;
  std::strncpy(spec.key, key, sizeof spec.key - 1);
  return spec;
}
