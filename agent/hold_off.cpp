#include "hold_off.h"

#include <windows.h>

#include "agent_state.h"
#include "trace.h"

namespace corners {

namespace {

EXECUTION_STATE WINAPI RecordedExecutionState(EXECUTION_STATE flags) {
  Trace("execution state 0x%08lx", static_cast<unsigned long>(flags));
  return SetThreadExecutionState(flags);
}

BOOL WINAPI RecordedParametersInfo(UINT action, UINT param, PVOID data, UINT winIni) {
  if (action == SPI_SETSCREENSAVEACTIVE) {
    Trace("screen saver active %u (stored %u)", param, winIni);
  }
  return SystemParametersInfoA(action, param, data, winIni);
}

}  // namespace

void ChooseExecutionState() {
  bool recorded = agentRun.testLog[0] != 0;
  agentRun.setExecutionState = recorded ? RecordedExecutionState : SetThreadExecutionState;
  agentRun.parametersInfo = recorded ? RecordedParametersInfo : SystemParametersInfoA;
}

void TakeHoldOff() {
  Trace("never corner: screen saver held off");
  // NOTE: SetThreadExecutionState keeps the display on, but its documentation says it "does not
  // stop the screen saver from executing". SPI_SETSCREENSAVEACTIVE FALSE does; with fWinIni 0 it
  // lasts for this session only and is never written to the user's profile, so a crash of the
  // agent cannot leave the saver off at the next logon.
  BOOL active = FALSE;
  if (agentRun.parametersInfo(SPI_GETSCREENSAVEACTIVE, 0, &active, 0) && active) {
    agentRun.saverDeactivated = agentRun.parametersInfo(SPI_SETSCREENSAVEACTIVE, FALSE, nullptr, 0);
  }
  agentRun.setExecutionState(ES_CONTINUOUS | ES_DISPLAY_REQUIRED | ES_SYSTEM_REQUIRED);
}

void ReleaseHoldOff() {
  Trace("never corner left: hold-off released");
  // Only what the agent switched off is switched on again: a saver the user had off stays off.
  if (agentRun.saverDeactivated) {
    agentRun.parametersInfo(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, 0);
    agentRun.saverDeactivated = false;
  }
  agentRun.setExecutionState(ES_CONTINUOUS);
}

}  // namespace corners
