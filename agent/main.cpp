// morvanecorners.exe: the hot-corner agent. See the README's "Hot corners".
#include <windows.h>

#include "agent_state.h"
#include "alone.h"
#include "agent_window.h"
#include "commands.h"
#include "corner_mode_setting.h"
#include "corner_settings.h"
#include "gamepad_watch.h"
#include "hold_off.h"
#include "run_key.h"
#include "saver_start.h"
#include "single_instance.h"
#include "switches.h"
#include "trace.h"
#include "unelevated.h"

namespace corners {

namespace {

enum ExitCode { ExitDone = 0, ExitNoAgent = 1, ExitBadSwitches = 2, ExitFailed = 3 };

// Waits for messages and for the settings key's change notice together: the agent sleeps until
// one of them comes.
int RunMessageLoop() {
  for (;;) {
    HANDLE event = agentRun.keyEvent;
    DWORD count = event ? 1 : 0;
    DWORD woken = MsgWaitForMultipleObjects(count, &event, FALSE, INFINITE, QS_ALLINPUT);
    if (count && woken == WAIT_OBJECT_0) {
      OnSettingsKeyChanged();
      continue;
    }
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
      TranslateMessage(&message);
      DispatchMessageA(&message);
      // NOTE: a menu loop that was running when the window went may have taken WM_QUIT.
      if (!agentRun.window) return 0;
    }
  }
}

int RunAgent(HINSTANCE instance) {
  agentRun.instance = instance;
  if (!CreateAgentWindow(instance)) {
    Trace("agent window not made (error %lu)", GetLastError());
    return ExitFailed;
  }
  AllowOwnMessages(agentRun.window);
  int result = RunMessageLoop();
  StopWatchingSettings();
  ReleaseInstance();
  return result;
}

// Without a running agent: what a command does on its own.
int ActAlone(HINSTANCE instance, const Switches& switches) {
  switch (switches.command) {
    case Command::Now:
    case Command::Settings: return RunAlone(instance, switches) ? ExitDone : ExitFailed;
    // Kept for the agent's next start.
    case Command::Corners: return WriteCornerMode(switches.cornerMode) ? ExitDone : ExitFailed;
    case Command::Gamepads: return WriteGamepadChoice(switches.gamepads) ? ExitDone : ExitFailed;
    default: Trace("no agent runs in this session"); return ExitNoAgent;
  }
}

int Main(HINSTANCE instance, const char* commandLine) {
  OpenTestLog();
  ChooseExecutionState();
  const char* text = SkipProgramName(commandLine);
  Switches switches = ParseSwitches(text, lstrlenA(text));
  switch (switches.command) {
    case Command::Invalid: Trace("unknown switches: %s", text); return ExitBadSwitches;
    case Command::Install: return InstallRunEntry() ? ExitDone : ExitFailed;
    case Command::Uninstall: return UninstallRunEntry() ? ExitDone : ExitFailed;
    default: break;
  }
  if (switches.command == Command::Run) {
    ElevationOutcome outcome = RunUnelevated(text);
    if (outcome != ElevationOutcome::RunHere) {
      return outcome == ElevationOutcome::StartedByShell ? ExitDone : ExitFailed;
    }
  }
  if (ClaimInstance()) {
    if (switches.command == Command::Run) return RunAgent(instance);
    int result = ActAlone(instance, switches);
    ReleaseInstance();
    return result;
  }
  return HandOver(text) ? ExitDone : ExitNoAgent;
}

}  // namespace

}  // namespace corners

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  return corners::Main(instance, GetCommandLineA());
}
