// Trace lines as a debugger receives them: the test starts framework_trace_child under
// DEBUG_ONLY_THIS_PROCESS and collects its OUTPUT_DEBUG_STRING_EVENTs.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct DebugRun {
  std::vector<std::string> lines;
  DWORD exitCode = 999;
  bool finished = false;
};

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

std::string ReadDebugString(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info) {
  std::string text(info.nDebugStringLength, '\0');
  SIZE_T read = 0;
  ReadProcessMemory(process, info.lpDebugStringData, &text[0], text.size(), &read);
  text.resize(read);
  if (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

DebugRun RunUnderDebugger(const char* scenario) {
  DebugRun run;
  std::string command = "\"" + ProgramFolder() + "framework_trace_child.exe\" " + scenario;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS,
                      nullptr, nullptr, &startup, &process)) {
    return run;
  }
  HANDLE processHandle = nullptr;
  DEBUG_EVENT event;
  while (!run.finished && WaitForDebugEvent(&event, 20000)) {
    DWORD status = DBG_CONTINUE;
    switch (event.dwDebugEventCode) {
      case CREATE_PROCESS_DEBUG_EVENT:
        processHandle = event.u.CreateProcessInfo.hProcess;
        if (event.u.CreateProcessInfo.hFile) CloseHandle(event.u.CreateProcessInfo.hFile);
        break;
      case LOAD_DLL_DEBUG_EVENT:
        if (event.u.LoadDll.hFile) CloseHandle(event.u.LoadDll.hFile);
        break;
      case OUTPUT_DEBUG_STRING_EVENT:
        run.lines.push_back(ReadDebugString(processHandle, event.u.DebugString));
        break;
      case EXCEPTION_DEBUG_EVENT:
        if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT) {
          status = DBG_EXCEPTION_NOT_HANDLED;
        }
        break;
      case EXIT_PROCESS_DEBUG_EVENT:
        run.exitCode = event.u.ExitProcess.dwExitCode;
        run.finished = true;
        break;
    }
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
  }
  if (!run.finished) TerminateProcess(process.hProcess, 99);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return run;
}

TEST(Trace, LinesReachTheDebuggerExactlyAsFormattedOnlyWithDebugTrace) {
  const std::vector<std::string> on = {
      "Morvane: a plain line___________  \n\r",
      "full DefSaverProc: WM_CREATE..._________  \n\r",
      "from a second thread___________  \n\r",
      "Morvane: closing process...___________  \n\r",
      "Morvane: successfully unregistered controls___________  \n\r",
  };
  const std::vector<std::string> longLines = {
      std::string(184, 'a') + "___________  \n\r",
      std::string(150, 't') + ": " + std::string(34, 'b') + "_________  \n\r",
  };
  const struct {
    const char* scenario;
    std::vector<std::string> lines;
  } cases[] = {{"off", {}}, {"on", on}, {"long", longLines}};
  for (const auto& c : cases) {
    DebugRun run = RunUnderDebugger(c.scenario);
    ASSERT_TRUE(run.finished) << c.scenario;
    EXPECT_EQ(0u, run.exitCode) << c.scenario;
    EXPECT_EQ(c.lines, run.lines) << c.scenario;
  }
}

}  // namespace
