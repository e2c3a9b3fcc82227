#pragma once
// The DPI awareness of a saver process: declared once, before any window exists.
#include <windows.h>

namespace morvane {

void DeclareDpiAwareness();

}  // namespace morvane
