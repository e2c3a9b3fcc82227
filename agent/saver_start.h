#pragma once
// Starting the user's configured screen saver (the policy's when it names one): asked of the
// system first, started by the agent only when nothing shows that the system started one, and
// never when the user wants the logon screen on resume: the session is locked instead
// (now_request.h). The saver's file is checked on a thread of its own,
// since a saver on a network path that does not answer would freeze the agent. Everything here
// is called on the agent's window thread.
#include <windows.h>

namespace corners {

// Whether a screen saver runs: the system says so, a process of the configured saver's file runs,
// or the one the agent started is still alive.
bool SaverRunning();

// "Now": asks the system for the saver, then follows up on agentRun.window's timer.
void StartConfiguredSaver();

// Runs the configured saver's settings ("/c") once its file answered.
void ShowSaverSettings();

// Whether a request above still waits for the system or a file check.
bool SaverStartBusy();

// The window's parts of the requests: its timer, and the file check's answer.
enum : UINT_PTR { SaverStartTimer = 2 };
void OnSaverStartTimer();
void OnSaverChecked(LPARAM answer);
// The session said it is locked.
void SessionLockNoticed();

// Lets go of the handle of the saver the agent started and of the requests' timer.
void ForgetSaver();

}  // namespace corners
