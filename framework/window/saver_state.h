#pragma once
// What every saver window of the process shares about input and passwords, and the kind each
// window was created as. All of it belongs to the thread that owns the saver windows.
#include <windows.h>

#include "morvane.h"

namespace morvane {

struct SaverInputState {
  POINT cursorOrigin;  // mouse movement is measured from here (screen coordinates)
  DWORD startTick;     // the password delay runs from here (GetTickCount)
  int dialogActive;    // a framework dialog is open over the saver: input closes nothing
  int passwordDelay;   // seconds
  int mouseThreshold;  // pixels along either axis
  int activeConfig;    // the user allows active configuration
};

extern SaverInputState saverInput;

// Takes the three user settings from the registry (password delay, mouse threshold, active
// configuration); every saver window does this when it is created.
void LoadSaverSettings();
// Starts a full-screen saver's session: cursor origin here, password delay from now, no dialog.
void StartInputSession();
// Measures mouse movement from where the cursor is now.
void ResetCursorOrigin();
// Whether the cursor went beyond the mouse threshold from its origin, on any monitor.
bool CursorMovedPastThreshold();

// The kind of saver window, recorded when the framework sets the window up (which the record's
// presence marks). A window with none recorded gets the kind its place implies: no parent is the
// full-screen window, a parent of the monitor control's class a monitor preview, any other parent a
// system preview.
void RecordWindowMode(HWND window, int mode);
bool HasRecordedWindowMode(HWND window);
int RecordedWindowMode(HWND window);
void ForgetWindowMode(HWND window);

// Full-screen windows and system previews end the run's message loop when they go; a preview
// inside a monitor control, which lives in a configuration page, never does.
bool EndsMessageLoop(int mode);

// Creation records (SaverCreateParams) of the windows the framework creates or asks for. New
// returns null when memory runs out, else the record and its serial number. Take reads and frees
// a record that New made and no window has taken yet, storing its mode; anything else (whatever
// else a saver passed as lpCreateParams) is neither read nor freed and gives false. Discard frees
// the record of that serial when no window took it; a serial identifies one record even when a
// later record reuses its memory.
SaverCreateParams* NewSaverCreateParams(int mode, unsigned* serial);
bool TakeSaverCreateParams(const void* candidate, int* mode);
void DiscardSaverCreateParams(unsigned serial);
// The mode of the newest record that no window has taken and that is not discarded yet: the
// window the framework is asking for right now. False when no record is outstanding.
bool OutstandingRequestMode(int* mode);

}  // namespace morvane
