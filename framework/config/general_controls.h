#pragma once
// The General page's behaviour over the user's settings: its controls filled from the current
// values, read back on every change, and the change notices. Each is given the page dialog.
#include <windows.h>

namespace morvane {

class UserSettings;

// Loads every control from the current values; writes nothing.
void InitGeneralControls(HWND page, UserSettings& settings);
// Reads every control back; when a value changed, writes the registry and notifies.
void GeneralControlChanged(HWND page, UserSettings& settings);
// Tells the System Agent (not applied) or the whole system (applied), then sends the change
// notice to the hidden dialog; its reply.
LRESULT NotifyGeneralChanges(HWND page, const UserSettings& settings, bool applied);
// Copies the remembered values over the current ones; non-zero when one differed.
int RevertGeneralSettings(UserSettings& settings);

}  // namespace morvane
