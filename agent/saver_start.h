#pragma once
// Starting the user's configured screen saver, as the system starts it.

namespace corners {

// Whether a screen saver runs: the system says so, or the one the agent started is still alive.
bool SaverRunning();

// Starts the configured saver with "/s" (full screen) unless one runs already. A saver that is not
// configured, not a full path to an existing .scr file, or cannot be read is skipped with a trace.
void StartConfiguredSaver();

// Runs the configured saver's settings ("/c").
void ShowSaverSettings();

// Lets go of the handle of the saver the agent started.
void ForgetSaver();

}  // namespace corners
