#pragma once
// The configuration of a saver, reached from the configuration mode (notifyOwner 0, owner the
// foreground window or none) and from the active configuration of a running saver (notifyOwner 1,
// owner the saver window). Runs modally on the caller's thread.
#include <windows.h>

// The result of the configuration run; 0 when it ended without a change.
int DoConfigDialog(HWND owner, int notifyOwner);
