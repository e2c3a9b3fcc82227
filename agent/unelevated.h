#pragma once
// The agent runs with the user's normal rights, never elevated: an elevated agent would take no
// message from the user's programs (the shell's icon callbacks, ScrHots.dll's notice, a second
// start's command), as User Interface Privilege Isolation filters messages to higher rights.
#include <windows.h>

namespace corners {

enum class ElevationOutcome {
  RunHere,         // not elevated (or the shell is elevated too): become the agent
  StartedByShell,  // started again through the desktop shell, with its rights: end
  Refused,         // elevated, and nothing could start it with normal rights: end
};

// Main thread, before the agent claims its instance; switches: the command line's, handed on.
ElevationOutcome RunUnelevated(const char* switches);

// Lets the agent's own messages and TaskbarCreated through to its window from senders with
// normal rights, and nothing more (ChangeWindowMessageFilterEx, Windows 7 on; traced).
void AllowOwnMessages(HWND window);

}  // namespace corners
