#include "commands.h"

#include <windows.h>

#include "agent_state.h"
#include "corner_mode_setting.h"
#include "desktop.h"
#include "gamepad_watch.h"
#include "hold_off.h"
#include "saver_start.h"
#include "trace.h"
#include "tray_icon.h"

namespace corners {

void ExecuteCommand(const Switches& switches) {
  switch (switches.command) {
    case Command::Now: StartConfiguredSaver(); break;
    case Command::Pause:
      // The idle saver comes back at once, not at the pointer's next look.
      if (agentRun.dwell.Release()) ReleaseHoldOff();
      if (switches.pauseMinutes) {
        agentRun.dwell.PauseFor(GetTickCount(), switches.pauseMinutes);
        Trace("paused for %lu minutes", static_cast<unsigned long>(switches.pauseMinutes));
      } else {
        agentRun.dwell.PauseUntilResumed();
        Trace("paused until resumed");
      }
      UpdateTrayIcon();
      break;
    case Command::Resume:
      agentRun.dwell.Resume();
      Trace("resumed");
      UpdateTrayIcon();
      break;
    case Command::Settings: ShowSaverSettings(); break;
    case Command::Quit:
      Trace("quitting");
      DestroyWindow(agentRun.window);
      break;
    case Command::Run: Trace("already running"); break;
    case Command::Corners:
      WriteCornerMode(switches.cornerMode);
      agentRun.cornerMode = switches.cornerMode;
      Trace("corner mode: %s", morvane::CornerModeText(switches.cornerMode));
      RefreshZones();
      break;
    case Command::Gamepads: SetGamepadsCount(switches.gamepads); break;
    default: Trace("command ignored"); break;
  }
}

}  // namespace corners
