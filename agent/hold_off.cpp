#include "hold_off.h"

#include "agent_state.h"
#include "idle_reset.h"
#include "trace.h"

namespace corners {

namespace {

// How often the idle time is reset: half the screen saver's timeout, so that a reset that comes
// late by up to that half still comes in time. At most 30 s, half the shortest timeout the
// display settings offer (a minute), so that a timeout lowered meanwhile (by the user or a policy
// refresh) is met before it runs out; at least 1 s, so that a tiny or unreadable timeout does not
// turn into a stream of input.
enum : UINT { ShortestResetMs = 1000, LongestResetMs = 30000 };

UINT ResetPeriodMs() {
  UINT seconds = 0;
  if (!SystemParametersInfoA(SPI_GETSCREENSAVETIMEOUT, 0, &seconds, 0)) return ShortestResetMs;
  UINT half = seconds > LongestResetMs / 500 ? LongestResetMs : seconds * 500;
  return half < ShortestResetMs ? ShortestResetMs : half;
}

void ResetEveryPeriod() {
  UINT period = ResetPeriodMs();
  if (period == agentRun.idleResetMs) return;
  agentRun.idleResetMs = period;
  SetTimer(agentRun.window, IdleResetTimer, period, nullptr);
  Trace("idle resets every %u ms", period);
}

EXECUTION_STATE WINAPI RecordedExecutionState(EXECUTION_STATE flags) {
  Trace("execution state 0x%08lx", static_cast<unsigned long>(flags));
  return SetThreadExecutionState(flags);
}

}  // namespace

void ChooseExecutionState() {
  bool recorded = agentRun.testLog[0] != 0;
  agentRun.setExecutionState = recorded ? RecordedExecutionState : SetThreadExecutionState;
}

void TakeHoldOff() {
  Trace("never corner: screen saver held off");
  // NOTE: SetThreadExecutionState keeps the display on, but its documentation says it "does not
  // stop the screen saver from executing": the idle time is reset instead. The session's
  // SPI_SETSCREENSAVEACTIVE switch is never touched: it would outlive an agent that is killed.
  agentRun.setExecutionState(ES_CONTINUOUS | ES_DISPLAY_REQUIRED | ES_SYSTEM_REQUIRED);
  ResetIdleTime();
  ResetEveryPeriod();
}

void ReleaseHoldOff() {
  Trace("never corner left: hold-off released");
  if (agentRun.window) KillTimer(agentRun.window, IdleResetTimer);
  agentRun.idleResetMs = 0;
  agentRun.setExecutionState(ES_CONTINUOUS);
}

void OnIdleResetTimer() {
  ResetIdleTime();
  // The timeout may have changed while the pointer rests.
  ResetEveryPeriod();
}

}  // namespace corners
