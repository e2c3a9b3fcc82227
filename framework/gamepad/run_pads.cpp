#include "gamepad/run_pads.h"

#include "core/trace.h"
#include "displays/display_run.h"
#include "gamepad/pad_poller.h"
#include "window/saver_proc.h"

namespace morvane {

namespace {

PadPoller runPoller;

}  // namespace

void StartRunPads(HWND watcher) {
  if (!runPoller.Start(watcher, PadInputMessage)) {
    Trace("Gamepads: no XInput library, so gamepads do not end the saver");
    return;
  }
  char text[96];
  wsprintfA(text, "Gamepads: read through %s", runPoller.LibraryName());
  Trace(text);
}

void EndRunPads() {
  runPoller.Stop();
}

void PauseRunPads(bool paused) {
  runPoller.Pause(paused);
}

void OnRunPadInput(WPARAM padIndex) {
  HWND lead = LeadSaverWindow();
  // A notice posted just before the run ended finds no run.
  if (!lead || !runPoller.Running()) return;
  char text[64];
  wsprintfA(text, "Gamepad %u used", static_cast<unsigned>(padIndex));
  Trace(text);
  OnPadInput(lead);
}

}  // namespace morvane
