#pragma once
// The dots per inch of the screen and of each monitor, for hot-corner zones sized per monitor.
// Needs nothing else of the framework: the hot-corner agent carries this file too. Any thread.
#include <windows.h>

#include "displays/display_layout.h"

namespace morvane {

// The screen's (system) DPI; 96 when it cannot be had.
int ScreenDpi();

// dpis[i] for monitors[i]: its effective DPI from shcore's GetDpiForMonitor where the system has
// it (Windows 8.1 on), else the screen's.
void MonitorDpis(const DesktopMonitor* monitors, int count, int* dpis);

}  // namespace morvane
