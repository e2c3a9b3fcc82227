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

}  // namespace

void ChooseExecutionState() {
  agentRun.setExecutionState =
      agentRun.testLog[0] ? RecordedExecutionState : SetThreadExecutionState;
}

void TakeHoldOff() {
  Trace("never corner: screen saver held off");
  agentRun.setExecutionState(ES_CONTINUOUS | ES_DISPLAY_REQUIRED | ES_SYSTEM_REQUIRED);
}

void ReleaseHoldOff() {
  Trace("never corner left: hold-off released");
  agentRun.setExecutionState(ES_CONTINUOUS);
}

}  // namespace corners
