#pragma once
// The General page of the configuration sheet: hot corners, mouse sensitivity, password delay and
// unit, mute and active configuration, each change written to the registry at once.
#include <windows.h>

namespace morvane {

// The procedure of page 0; the page's PROPSHEETPAGE lParam is the run's UserSettings.
INT_PTR CALLBACK GeneralDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Non-zero when a System Agent library says hot corners can be active.
int DetectSystemAgent();
// Tells both System Agent libraries that the saver's settings changed.
void NotifySystemAgent();

}  // namespace morvane
