#pragma once
// The General page's behaviour over the user's settings: its controls filled from the current
// values, read back on every change, and the change notices. Each is given the page dialog.
#include <windows.h>

namespace morvane {

class UserSettings;

// Loads every control from the current values; writes nothing.
void InitGeneralControls(HWND page, UserSettings& settings);
// Whether a command is the user's edit of the delay box (the edit's text changed).
bool IsDelayEdit(HWND page, WPARAM command, HWND control);
// Reads every control back; when a value changed, writes the registry and notifies. The delay box
// is read as typed only when delayEdited (see IsDelayEdit).
void GeneralControlChanged(HWND page, UserSettings& settings, bool delayEdited);
// Tells the System Agent (not applied) or the whole system (applied), then sends the change
// notice to the hidden dialog; its reply.
LRESULT NotifyGeneralChanges(HWND page, const UserSettings& settings, bool applied);
// Copies the remembered values over the current ones; non-zero when one differed.
int RevertGeneralSettings(UserSettings& settings);

}  // namespace morvane
