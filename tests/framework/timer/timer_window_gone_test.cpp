// Saver windows that go while their timer runs, without the timer being stopped: a procedure
// that handles WM_DESTROY itself (PostQuitMessage and return 0) and never passes it on is common.
// Whatever state its thread is in, the timer must end by itself once its window is gone, and free
// its record; when the rest of the window's end reaches DefSaverProc, the framework stops the
// timer and removes the slot there.
#include "timer_test_fixture.h"

#include <string>

using namespace morvane;

namespace {

const DWORD endLimitMs = 2000;

using TimerWindowGone = TimerTest;

TEST_F(TimerWindowGone, ATickingTimerEndsWhenItsWindowGoesUnstopped) {
  // Back to back (where a tick to a gone window, answered 0 at once, would spin), and paced.
  for (LRESULT answer : {LRESULT(0), LRESULT(10)}) {
    SCOPED_TRACE(answer);
    TickScript script;
    script.answer = [answer](HWND, int) { return answer; };
    HWND saver = SwallowingSaver(&script);
    ScrStartTimer(saver);
    HANDLE thread = ThreadOf(saver);
    ASSERT_NE(nullptr, thread);
    ASSERT_TRUE(PumpUntil([&] { return script.count() >= 3; }, 2000));
    DestroyWindow(saver);
    int ticks = script.count();
    EXPECT_TRUE(PumpUntilEnded(thread, endLimitMs)) << "the timer thread runs on";
    EXPECT_EQ(ticks, script.count());
    EXPECT_EQ(recordsBefore, liveTimerRecords);
  }
}

// The saver destroys its window while it handles a tick: the thread learns it from the answer it
// gets back, whether that asks for another tick or for none (whose end request has no window left
// to go to).
TEST_F(TimerWindowGone, ATimerWhoseWindowGoesDuringATickEndsThere) {
  for (LRESULT answer : {LRESULT(10), LRESULT(-1)}) {
    SCOPED_TRACE(answer);
    TickScript script;
    script.answer = [answer](HWND window, int) {
      DestroyWindow(window);
      return answer;
    };
    HWND saver = SwallowingSaver(&script);
    ScrStartTimer(saver);
    HANDLE thread = ThreadOf(saver);
    ASSERT_NE(nullptr, thread);
    EXPECT_TRUE(PumpUntilEnded(thread, endLimitMs)) << "the timer thread runs on";
    EXPECT_FALSE(IsWindow(saver));
    EXPECT_EQ(1, script.count());
    EXPECT_EQ(recordsBefore, liveTimerRecords);
  }
}

// The saver answered -1 and its thread posted the end request, but the window goes before it
// handles the request, which goes with it: the thread, waiting for a quit request that will never
// come, must end all the same.
TEST_F(TimerWindowGone, ATimerThatHadEnoughEndsWhenItsWindowGoesBeforeTheEndRequestIsHandled) {
  TickScript script;
  script.answer = [](HWND, int) { return LRESULT(-1); };
  HWND saver = SwallowingSaver(&script);
  ScrStartTimer(saver);
  HANDLE thread = ThreadOf(saver);
  ASSERT_NE(nullptr, thread);
  ASSERT_TRUE(HandleSentUntil([&] { return script.count() == 1; }, 2000));
  MSG request;
  ASSERT_TRUE(HandleSentUntil(
      [&] { return PeekMessageA(&request, saver, SCRM_INTERNAL, SCRM_INTERNAL, PM_NOREMOVE) != 0; },
      2000));
  EXPECT_EQ(WPARAM(SCRINTERNAL_HADENOUGH), request.wParam);
  DestroyWindow(saver);
  EXPECT_TRUE(PumpUntilEnded(thread, endLimitMs)) << "the timer thread waits on";
  EXPECT_EQ(1, script.count());
  EXPECT_EQ(recordsBefore, liveTimerRecords);
}

// A preview saver on DefSaverProc that keeps WM_DESTROY to itself; the rest of its end
// (WM_NCDESTROY) reaches DefSaverProc, which must do there what WM_DESTROY would have done for the
// timer.
struct EndWatch {
  int ticks = 0;
  bool slotLeft = true;
};
EndWatch endWatch;

LRESULT CALLBACK KeepsDestroyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    // A real saver would PostQuitMessage here; the test's own queue is left alone.
    case WM_DESTROY: return 0;
    case SCRM_TIMER: ++endWatch.ticks; return 10;
    case WM_NCDESTROY: {
      LRESULT result = DefSaverProc(window, message, wParam, lParam);
      endWatch.slotLeft = HasTimerSlot(window);
      return result;
    }
    default: return DefSaverProc(window, message, wParam, lParam);
  }
}

TEST_F(TimerWindowGone, DefSaverProcEndsTheTimerAndRemovesTheSlotWhenWmDestroyPassesItBy) {
  SetTimerPrefs(0, 1);
  TraceCapture traces;
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = KeepsDestroyProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "TimerTestKeepsDestroy";
  RegisterClassA(&windowClass);
  HWND host = CreateWindowExA(0, "STATIC", "host", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(nullptr, host);
  windows.push_back(host);
  endWatch = EndWatch{};
  HWND saver = CreateWindowExA(0, windowClass.lpszClassName, "preview", WS_CHILD | WS_VISIBLE, 0, 0,
                               20, 20, host, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(nullptr, saver);
  // Started by the request DefSaverProc posts at WM_CREATE.
  ASSERT_TRUE(PumpUntil([&] { return endWatch.ticks >= 2; }, 3000));
  HANDLE thread = ThreadOf(saver);
  ASSERT_NE(nullptr, thread);
  DestroyWindow(saver);
  EXPECT_FALSE(endWatch.slotLeft);
  EXPECT_TRUE(traces.Has("ScrStopTimer: destroying timer..."));
  EXPECT_TRUE(PumpUntilEnded(thread, endLimitMs)) << "the timer thread runs on";
  EXPECT_EQ(recordsBefore, liveTimerRecords);
}

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

double CpuSeconds(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return -1;
  auto seconds = [](const FILETIME& time) {
    return static_cast<double>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) |
                               time.dwLowDateTime) /
           1e7;
  };
  return seconds(kernel) + seconds(user);
}

// The whole run of such a saver, previewing in a window of this process: it ends as soon as its
// window has gone, with its own exit code, and its ticks stop with the window. So does the run of
// a saver that posts the quit message itself and leaves its window: the run stops that window's
// ticks instead of waiting for them to end.
TEST(TimerRun, ASaverThatKeepsWmDestroyToItselfOrPostsTheQuitItselfEndsItsRunPromptly) {
  const struct {
    const char* name;
    const char* quitItself;  // MORVANE_TEST_QUIT_ITSELF, null for unset
  } cases[] = {{"destroys its window", nullptr}, {"posts the quit message", "1"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HWND host = CreateWindowExA(0, "STATIC", "host", WS_POPUP | WS_VISIBLE, 0, 0, 80, 60, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, host);
    char handle[32];
    wsprintfA(handle, "0x%x", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(host)));
    std::string command = "\"" + ProgramFolder() + "timer_keeps_destroy_saver.exe\" /p " + handle;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    SetEnvironmentVariableA("MORVANE_TEST_QUIT_ITSELF", c.quitItself);
    double start = NowMs();
    BOOL started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                                  nullptr, &startup, &process);
    SetEnvironmentVariableA("MORVANE_TEST_QUIT_ITSELF", nullptr);
    ASSERT_TRUE(started);
    // The preview is a child of host, whose messages this thread must keep handling.
    bool ended = PumpUntilEnded(process.hProcess, 15000);
    double elapsed = NowMs() - start;
    if (!ended) TerminateProcess(process.hProcess, 99);
    EXPECT_TRUE(ended);
    EXPECT_LT(elapsed, 5000.0);
    DWORD exitCode = 99;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(0u, exitCode);
    EXPECT_LT(CpuSeconds(process.hProcess), 2.0);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    DestroyWindow(host);
  }
}

}  // namespace
