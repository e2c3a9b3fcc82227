#pragma once
// The system's screen-saver password services: whether closing needs the password, asking it,
// and changing it. They keep no state; each call loads the library it needs and unloads it again.
// All run on the thread that owns the saver windows.
#include <windows.h>

namespace morvane {

// TRUE when closing the full-screen saver must be confirmed by a password: the author's
// alwaysPassword (TRUE) or neverPassword (FALSE) decide first; otherwise FALSE within the user's
// password delay, then "ScreenSaveUsePassword" under "Control Panel\Desktop" decides. Anything
// missing or unreadable answers FALSE.
BOOL NeedPassword();

// Runs the password provider's prompt (VerifyScreenSavePwd of PASSWORD.CPL) owned by window, with
// the cursor shown: IDOK when the password was accepted or the provider is out of reach, IDCANCEL
// when the provider refused it.
int DoVerifyPwDialog(HWND window);

// Runs the system's change-password dialog (PwdChangePasswordA of MPR.DLL for "SCRSAVE"): 1 when
// it ran, 2 when the router is out of reach. With neverPassword it shows "This screensaver never
// requires a password" instead and returns that box's result.
int DoChangePwDialog(HWND parent);

}  // namespace morvane
