#include "commands.h"

#include <windows.h>

#include "agent_state.h"
#include "saver_start.h"
#include "trace.h"

namespace corners {

void ExecuteCommand(const Switches& switches) {
  switch (switches.command) {
    case Command::Now: StartConfiguredSaver(); break;
    case Command::Pause:
      if (switches.pauseMinutes) {
        agentRun.dwell.PauseFor(GetTickCount(), switches.pauseMinutes);
        Trace("paused for %lu minutes", static_cast<unsigned long>(switches.pauseMinutes));
      } else {
        agentRun.dwell.PauseUntilResumed();
        Trace("paused until resumed");
      }
      break;
    case Command::Resume:
      agentRun.dwell.Resume();
      Trace("resumed");
      break;
    case Command::Settings: ShowSaverSettings(); break;
    case Command::Quit:
      Trace("quitting");
      DestroyWindow(agentRun.window);
      break;
    case Command::Run: Trace("already running"); break;
    default: Trace("command ignored"); break;
  }
}

}  // namespace corners
