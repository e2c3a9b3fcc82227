// Full-screen runs over several monitors, in process: the monitors are listed by the test, the
// windows are real. What the run makes for each policy, what each window is told, how input on any
// window ends the run once, and how the run follows monitors that change.
#include "core/library.h"
#include "resource_counts.h"
#include "displays/display_run.h"
#include "run/saver_run.h"
#include "saver_fixture.h"
#include "timer/timer.h"
#include "window/saver_state.h"
#include "window/saver_windows.h"

#include <gtest/gtest.h>

#include "test_monitors.h"

#include <cstring>
#include <functional>
#include <atomic>
#include <map>
#include <thread>
#include <string>

using namespace morvane;

namespace {

// The desktop the run sees: primary 640x480, 400x300 left of it, 320x240 below it.
DesktopMonitor fakeMonitors[MaxRunWindows];
int fakeCount;

int ListFakeMonitors(DesktopMonitor* monitors, int capacity) {
  int n = fakeCount < capacity ? fakeCount : capacity;
  for (int i = 0; i < n; ++i) monitors[i] = fakeMonitors[i];
  return n;
}

void SetDesktop(std::initializer_list<DesktopMonitor> monitors) {
  fakeCount = 0;
  for (const DesktopMonitor& m : monitors) fakeMonitors[fakeCount++] = m;
}

const DesktopMonitor primary = Monitor("P", 0, 0, 640, 480, true);
const DesktopMonitor left = Monitor("L", -400, 0, 400, 300);
const DesktopMonitor below = Monitor("B", 0, 480, 320, 240);

struct WindowSeen {
  int creates = 0;
  int number = -2;  // what ScrGetWindowMonitor said in WM_CREATE
  RECT area = {};
  int ticks = 0;
  int verifies = 0;
  int configurations = 0;
};
std::map<HWND, WindowSeen> seen;
LRESULT verifyAnswer;
DWORD tickBusyMs;  // how long each tick takes
std::atomic<long> totalTicks;
std::atomic<bool> stopTicking;  // every tick answers -1 from now on
long quitAtTick;                // the saver posts the quit message itself at this tick (0: never)
// What happens while a framework dialog (the password prompt, the active configuration) is open
// over a window, the monitors changing for instance; null for nothing.
std::function<void(HWND)> duringDialog;

BOOL CALLBACK AddClassName(HWND window, LPARAM names) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId()) return TRUE;
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  *reinterpret_cast<std::string*>(names) += std::string(name) + " ";
  return TRUE;
}

// The classes of the process's top-level windows, for failure messages.
std::string TopLevelClasses() {
  std::string names;
  EnumWindows(AddClassName, reinterpret_cast<LPARAM>(&names));
  return names;
}

int CountTopLevel(const char* className) {
  int n = 0;
  for (HWND w = FindWindowExA(nullptr, nullptr, className, nullptr); w;
       w = FindWindowExA(nullptr, w, className, nullptr)) {
    ++n;
  }
  return n;
}

// How many of the run's windows but the given one are topmost.
int TopmostOthers(HWND window) {
  int n = 0;
  for (int i = 0; i < displayRun.count; ++i) {
    HWND other = displayRun.windows[i].window;
    if (other != window && (GetWindowLongA(other, GWL_EXSTYLE) & WS_EX_TOPMOST)) ++n;
  }
  return n;
}
int topmostDuringPrompt = -1;

// What a modal password prompt does while it waits for the user: the thread's messages go on.
void DispatchForAWhile(DWORD ms) {
  DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE) && message.message != WM_QUIT) {
      PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);
      DispatchMessageA(&message);
    }
  }
}

LRESULT CALLBACK RunSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      WindowSeen& s = seen[window];
      ++s.creates;
      s.number = ScrGetWindowMonitor(window, &s.area);
      break;
    }
    case SCRM_TIMER:
      ++seen[window].ticks;
      if (++totalTicks == quitAtTick) PostQuitMessage(0);
      if (tickBusyMs) Sleep(tickBusyMs);
      return stopTicking ? -1 : 20;
    case SCRM_VERIFYPW:
      ++seen[window].verifies;
      topmostDuringPrompt = TopmostOthers(window);
      if (duringDialog) duringDialog(window);
      DispatchForAWhile(100);
      return verifyAnswer;
    case SCRM_ACTIVECONFIG:
      ++seen[window].configurations;
      if (duringDialog) duringDialog(window);
      DispatchForAWhile(100);
      return 1;
    default: break;
  }
  return DefSaverProc(window, message, wParam, lParam);
}

RECT WindowArea(HWND window) {
  RECT r = {};
  GetWindowRect(window, &r);
  return r;
}

bool SameArea(const RECT& r, const DesktopMonitor& m) {
  return r.left == m.area.left && r.top == m.area.top && r.right == m.area.right &&
         r.bottom == m.area.bottom;
}

std::vector<HWND> RunWindowsOf(RunWindowKind kind) {
  std::vector<HWND> windows;
  for (int i = 0; i < displayRun.count; ++i) {
    if (displayRun.windows[i].place.kind == kind) windows.push_back(displayRun.windows[i].window);
  }
  return windows;
}

class DisplayRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureLibrary();
    ResetPrefs();
    ChangePrefs([](ScrPrefs& p) { p.noTimers = 0; });
    savedRun = saverRun;
    savedPolicy = displayRun.policy;
    RegisterSaverClass(GetModuleHandleA(nullptr), plainSaverClass, RunSaverProc, BLACK_BRUSH);
    saverRun.executors = plainExecutors;
    saverRun.instance = GetModuleHandleA(nullptr);
    displayRun.listMonitors = ListFakeMonitors;
    seen.clear();
    verifyAnswer = 0;
    tickBusyMs = 0;
    totalTicks = 0;
    stopTicking = false;
    quitAtTick = 0;
    duringDialog = nullptr;
    OpenThreadRegistry();
    SetDesktop({primary, left, below});
    baseline = CountResources();
  }

  void TearDown() override {
    duringDialog = nullptr;
    EndRun();
    displayRun.listMonitors = ListSystemMonitors;
    displayRun.policy = savedPolicy;
    saverRun = savedRun;
    ResetPrefs();
    UnregisterClassA(plainSaverClass, GetModuleHandleA(nullptr));
  }

  void Start(int policy) {
    ASSERT_TRUE(ScrSetMonitorPolicy(policy));
    libraryState.saverRunning = true;
    ASSERT_TRUE(StartDisplayRun(saverRun.executors.makeSaverWindow));
    saverInput.mouseThreshold = 5;
  }

  // Dispatches messages until done() or limitMs pass; a WM_QUIT is counted, not dispatched.
  bool Pump(const std::function<bool()>& done, DWORD limitMs = 5000) {
    DWORD start = GetTickCount();
    while (!done()) {
      if (GetTickCount() - start >= limitMs) return done();
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
      MSG message;
      while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
          ++quits;
          quitCode = static_cast<int>(message.wParam);
        } else {
          DispatchMessageA(&message);
        }
      }
    }
    return true;
  }

  // The monitors change to these, and the run hears of it.
  void ChangeMonitors(std::initializer_list<DesktopMonitor> monitors) {
    SetDesktop(monitors);
    ASSERT_TRUE(displayRun.watcher);
    SendMessageA(displayRun.watcher, WM_DISPLAYCHANGE, 32, 0);
  }

  bool EveryWindowTicks(int ticks) {
    return Pump([ticks] {
      for (HWND w : RunWindowsOf(RunWindowKind::Saver)) {
        if (seen[w].ticks < ticks) return false;
      }
      return true;
    });
  }

  void EndRun() {
    if (displayRun.active) {
      DestroyRunSaverWindows();
      Pump([this] { return quits > 0; }, 2000);
      EndDisplayRun();
    }
    libraryState.saverRunning = false;
    EXPECT_TRUE(AwaitTimerThreads(TimerThreadWaitLimit));
    CloseThreadRegistry();
  }

  // Threads and windows settle at the expected numbers over the baseline within a bounded time.
  bool SettlesAt(long extraThreads, long extraWindows) {
    return Pump(
        [&] {
          return CountThreads() == baseline.threads + extraThreads &&
                 CountUserWindows() == baseline.userWindows + extraWindows;
        },
        3000);
  }

  SaverRun savedRun;
  ResourceCounts baseline;
  int savedPolicy = 0;
  std::atomic<int> quits{0};
  int quitCode = -1;
};

TEST_F(DisplayRunTest, ByDefaultOneSaverWindowOnThePrimaryAndBlackCoversOverTheOthers) {
  Start(SCRMONITORS_PRIMARY);
  std::vector<HWND> savers = RunWindowsOf(RunWindowKind::Saver);
  std::vector<HWND> covers = RunWindowsOf(RunWindowKind::Cover);
  ASSERT_EQ(1u, savers.size());
  ASSERT_EQ(2u, covers.size());
  HWND lead = savers[0];
  EXPECT_EQ(1, seen[lead].creates);
  EXPECT_EQ(0, seen[lead].number);
  EXPECT_TRUE(SameArea(seen[lead].area, primary));
  EXPECT_TRUE(SameArea(WindowArea(lead), primary));
  EXPECT_TRUE(SameArea(WindowArea(covers[0]), left));
  EXPECT_TRUE(SameArea(WindowArea(covers[1]), below));
  for (HWND cover : covers) {
    char name[64] = {};
    GetClassNameA(cover, name, sizeof name);
    EXPECT_STREQ("MorvaneCoverWindowClass", name);
    EXPECT_TRUE(IsWindowVisible(cover));
    EXPECT_TRUE(GetWindowLongA(cover, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(-1, ScrGetWindowMonitor(cover, nullptr));
  }
  EXPECT_EQ(lead, GetActiveWindow()) << "a cover took the activation";
  EXPECT_TRUE(EveryWindowTicks(2));
  EXPECT_EQ(1, CountTimerThreads());
}

TEST_F(DisplayRunTest, InputOnACoverEndsTheRunThroughTheSaverWindow) {
  Start(SCRMONITORS_PRIMARY);
  HWND lead = RunWindowsOf(RunWindowKind::Saver)[0];
  HWND cover = RunWindowsOf(RunWindowKind::Cover)[0];
  EXPECT_EQ(MA_NOACTIVATE, SendMessageA(cover, WM_MOUSEACTIVATE, 0, 0));
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  SendMessageA(cover, WM_SETCURSOR, reinterpret_cast<WPARAM>(cover), HTCLIENT);
  EXPECT_EQ(nullptr, GetCursor());
  // Movement within the threshold closes nothing; beyond it, the saver window is asked to close.
  POINT origin = saverInput.cursorOrigin;
  SetCursorPos(origin.x + 3, origin.y);
  SendMessageA(cover, WM_MOUSEMOVE, 0, 0);
  EXPECT_FALSE(TakeClosePosted(lead));
  SetCursorPos(origin.x + 40, origin.y);
  SendMessageA(cover, WM_MOUSEMOVE, 0, 0);
  EXPECT_TRUE(TakeClosePosted(lead));
  // A click or key there reaches the saver window as if made on it, which closes the run.
  SendMessageA(cover, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  ASSERT_TRUE(Pump([&] { return quits > 0; }));
  EXPECT_EQ(2, quitCode);
  EXPECT_EQ(1, quits);
  EXPECT_FALSE(IsWindow(lead));
  EXPECT_FALSE(IsWindow(cover)) << "the covers outlived the saver window";
  EXPECT_EQ(0, displayRun.count);
}

TEST_F(DisplayRunTest, EachMonitorGetsASaverWindowOfItsOwnTickingOnItsOwnThread) {
  Start(SCRMONITORS_EACH);
  std::vector<HWND> savers = RunWindowsOf(RunWindowKind::Saver);
  ASSERT_EQ(3u, savers.size());
  EXPECT_TRUE(RunWindowsOf(RunWindowKind::Cover).empty());
  const DesktopMonitor* expected[] = {&primary, &left, &below};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(1, seen[savers[i]].creates);
    EXPECT_EQ(i, seen[savers[i]].number);
    EXPECT_TRUE(SameArea(seen[savers[i]].area, *expected[i])) << i;
    EXPECT_TRUE(SameArea(WindowArea(savers[i]), *expected[i])) << i;
  }
  EXPECT_EQ(savers[0], GetActiveWindow()) << "the primary's window should end up active";
  EXPECT_TRUE(EveryWindowTicks(3));
  EXPECT_EQ(3, CountTimerThreads());
}

// Under the spanning window, which a saver may shrink, each monitor has its black cover, shaped
// to show only where that window no longer is.
TEST_F(DisplayRunTest, SpanningIsOneWindowOverTheWholeDesktopWithEveryMonitorCoveredUnderIt) {
  Start(SCRMONITORS_SPAN);
  std::vector<HWND> savers = RunWindowsOf(RunWindowKind::Saver);
  ASSERT_EQ(1u, savers.size());
  RECT r = WindowArea(savers[0]);
  EXPECT_EQ(-400, r.left);
  EXPECT_EQ(0, r.top);
  EXPECT_EQ(640, r.right);
  EXPECT_EQ(720, r.bottom);
  EXPECT_EQ(0, seen[savers[0]].number);
  std::vector<HWND> covers = RunWindowsOf(RunWindowKind::Cover);
  ASSERT_EQ(3u, covers.size());
  const DesktopMonitor* monitors[] = {&primary, &left, &below};
  // What of each cover shows, in its own coordinates: nothing while the saver's window spans all.
  auto shown = [&](size_t i) {
    RECT box = {};
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    int kind = GetWindowRgn(covers[i], region);
    GetRgnBox(region, &box);
    DeleteObject(region);
    if (kind == ERROR) GetClientRect(covers[i], &box);  // no region: all of it shows
    return kind == NULLREGION ? RECT{} : box;
  };
  for (size_t i = 0; i < covers.size(); ++i) {
    EXPECT_TRUE(SameArea(WindowArea(covers[i]), *monitors[i])) << i;
    EXPECT_TRUE(IsWindowVisible(covers[i])) << i;
    RECT box = shown(i);
    EXPECT_TRUE(IsRectEmpty(&box)) << i;
  }
  // Shrunk to the primary monitor's top half: the rest of the desktop shows covers.
  SetWindowPos(savers[0], nullptr, 0, 0, 640, 240, SWP_NOZORDER | SWP_NOACTIVATE);
  FitCoversToLead();
  const RECT expected[] = {{0, 240, 640, 480}, {0, 0, 400, 300}, {0, 0, 320, 240}};
  for (size_t i = 0; i < covers.size(); ++i) {
    RECT box = shown(i);
    EXPECT_TRUE(EqualRect(&expected[i], &box))
        << i << ": " << box.left << "," << box.top << "-" << box.right << "," << box.bottom;
  }
}

TEST_F(DisplayRunTest, ActivatingTheRunsOwnWindowsIsNoDeactivationButAnotherWindowIs) {
  Start(SCRMONITORS_EACH);
  std::vector<HWND> savers = RunWindowsOf(RunWindowKind::Saver);
  ASSERT_EQ(3u, savers.size());
  SendMessageA(savers[0], WM_NCACTIVATE, FALSE, 0);
  SendMessageA(savers[0], WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(savers[1]));
  EXPECT_FALSE(TakeClosePosted(savers[0]));
  // A real click on a secondary saver window activates it; the run goes on until the click.
  SetActiveWindow(savers[2]);
  EXPECT_FALSE(TakeClosePosted(savers[0]));
  EXPECT_FALSE(TakeClosePosted(savers[2]));
  HWND other = CreatePlainWindow();
  SendMessageA(savers[0], WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(other));
  EXPECT_TRUE(TakeClosePosted(savers[0]));
  SendMessageA(savers[1], WM_ACTIVATEAPP, FALSE, 0);
  EXPECT_TRUE(TakeClosePosted(savers[1]));
  DestroyWindow(other);
}

TEST_F(DisplayRunTest, InputOnAnyWindowAsksThePasswordOnceOnTheFirstAndRefusalKeepsEveryWindow) {
  ChangePrefs([](ScrPrefs& p) { p.alwaysPassword = 1; });
  Start(SCRMONITORS_EACH);
  std::vector<HWND> savers = RunWindowsOf(RunWindowKind::Saver);
  ASSERT_EQ(3u, savers.size());
  verifyAnswer = 0;
  SendMessageA(savers[2], WM_KEYDOWN, 'A', 0);
  SendMessageA(savers[1], WM_LBUTTONDOWN, MK_LBUTTON, 0);
  ASSERT_TRUE(Pump([&] { return seen[savers[0]].verifies > 0; }));
  Pump([] { return false; }, 200);  // any second request would be handled by now
  EXPECT_EQ(1, seen[savers[0]].verifies) << "the two requests came within one prompt";
  // The prompt belongs to the first window: no other window of the run may cover it meanwhile.
  EXPECT_EQ(0, topmostDuringPrompt);
  EXPECT_EQ(2, TopmostOthers(savers[0])) << "the others stayed below once the prompt was gone";
  EXPECT_EQ(0, seen[savers[1]].verifies);
  EXPECT_EQ(0, seen[savers[2]].verifies);
  for (HWND w : savers) EXPECT_TRUE(IsWindow(w));
  EXPECT_EQ(0, quits);
  // Accepted: every window goes, the run ends once with 2, every timer thread ends.
  verifyAnswer = 1;
  SendMessageA(savers[1], WM_CLOSE, 0, 0);
  ASSERT_TRUE(Pump([&] { return quits > 0; }));
  Pump([] { return false; }, 100);
  EXPECT_EQ(1, quits);
  EXPECT_EQ(2, quitCode);
  for (HWND w : savers) EXPECT_FALSE(IsWindow(w));
  EXPECT_EQ(0, displayRun.count);
  EndDisplayRun();  // as the run does once its message loop ended
  libraryState.saverRunning = false;
  EXPECT_TRUE(AwaitTimerThreads(TimerThreadWaitLimit));
  EXPECT_TRUE(SettlesAt(0, 0)) << "left behind: threads " << CountThreads() - baseline.threads
                               << ", windows " << CountUserWindows() - baseline.userWindows << ": "
                               << TopLevelClasses();
}

TEST_F(DisplayRunTest, ADisplayChangeDestroysWindowsOfMonitorsThatWentAndMakesThemForNewOnes) {
  Start(SCRMONITORS_EACH);
  std::vector<HWND> before = RunWindowsOf(RunWindowKind::Saver);
  ASSERT_EQ(3u, before.size());
  ASSERT_TRUE(EveryWindowTicks(1));
  // The left monitor unplugged, a new one right of the primary, the one below moved.
  const DesktopMonitor right = Monitor("R", 640, 0, 300, 200);
  const DesktopMonitor belowMoved = Monitor("B", 100, 480, 320, 240);
  SetDesktop({primary, belowMoved, right});
  ASSERT_TRUE(displayRun.watcher);
  SendMessageA(displayRun.watcher, WM_DISPLAYCHANGE, 32, MAKELPARAM(640, 480));
  std::vector<HWND> after = RunWindowsOf(RunWindowKind::Saver);
  ASSERT_EQ(3u, after.size());
  EXPECT_EQ(before[0], after[0]);
  EXPECT_FALSE(IsWindow(before[1])) << "the window of the unplugged monitor stayed";
  EXPECT_EQ(before[2], after[1]);
  EXPECT_TRUE(SameArea(WindowArea(after[1]), belowMoved));
  EXPECT_EQ(1, seen[after[2]].creates);
  EXPECT_EQ(2, seen[after[2]].number);
  EXPECT_TRUE(SameArea(WindowArea(after[2]), right));
  EXPECT_EQ(1, ScrGetWindowMonitor(after[1], nullptr));
  EXPECT_EQ(0, quits) << "a window going with its monitor ended the run";
  EXPECT_TRUE(EveryWindowTicks(seen[after[0]].ticks + 2));
  // Three timer threads: the gone window's ended; three saver windows of the process.
  EXPECT_TRUE(Pump([&] { return CountThreads() == baseline.threads + 3; }, 3000))
      << "threads " << CountThreads() - baseline.threads;
  EXPECT_EQ(3, CountTopLevel(plainSaverClass)) << TopLevelClasses();
}

TEST_F(DisplayRunTest, WhenThePrimaryMonitorGoesTheSaverWindowMovesAndTheCoversFollow) {
  Start(SCRMONITORS_PRIMARY);
  HWND lead = RunWindowsOf(RunWindowKind::Saver)[0];
  const DesktopMonitor newPrimary = Monitor("B", 0, 0, 320, 240, true);
  SetDesktop({left, newPrimary});
  SendMessageA(displayRun.watcher, WM_DISPLAYCHANGE, 32, 0);
  std::vector<HWND> savers = RunWindowsOf(RunWindowKind::Saver);
  std::vector<HWND> covers = RunWindowsOf(RunWindowKind::Cover);
  ASSERT_EQ(1u, savers.size());
  EXPECT_EQ(lead, savers[0]);
  EXPECT_TRUE(SameArea(WindowArea(lead), newPrimary));
  ASSERT_EQ(1u, covers.size());
  EXPECT_TRUE(SameArea(WindowArea(covers[0]), left));
  EXPECT_EQ(0, quits);
  // A monitor added to a run on one monitor is covered too.
  SetDesktop({newPrimary});
  SendMessageA(displayRun.watcher, WM_DISPLAYCHANGE, 32, 0);
  EXPECT_TRUE(RunWindowsOf(RunWindowKind::Cover).empty());
  SetDesktop({newPrimary, left, below});
  SendMessageA(displayRun.watcher, WM_DISPLAYCHANGE, 32, 0);
  EXPECT_EQ(2u, RunWindowsOf(RunWindowKind::Cover).size());
}

TEST_F(DisplayRunTest, ThePrimaryMonitorUnpluggedUnderThePasswordPromptKeepsItsWindowAndTheWayOut) {
  ChangePrefs([](ScrPrefs& p) { p.alwaysPassword = 1; });
  SetDesktop({primary, left});
  Start(SCRMONITORS_EACH);
  std::vector<HWND> savers = RunWindowsOf(RunWindowKind::Saver);
  ASSERT_EQ(2u, savers.size());
  HWND lead = savers[0];
  const DesktopMonitor leftAlone = Monitor("L", -400, 0, 400, 300, true);
  HWND promptOver = nullptr;
  bool promptWindowLived = false;
  duringDialog = [&](HWND window) {
    promptOver = window;
    ChangeMonitors({leftAlone});
    promptWindowLived = IsWindow(window) != FALSE;
  };
  verifyAnswer = 0;
  SendMessageA(savers[1], WM_KEYDOWN, 'A', 0);
  ASSERT_TRUE(Pump([&] { return seen[lead].verifies > 0; }));
  Pump([] { return false; }, 200);
  EXPECT_EQ(lead, promptOver);
  EXPECT_TRUE(promptWindowLived) << "the window under the prompt went with its monitor";
  // The first window took the remaining monitor; the one that was there went.
  EXPECT_EQ(lead, LeadSaverWindow());
  EXPECT_TRUE(SameArea(WindowArea(lead), leftAlone));
  EXPECT_FALSE(IsWindow(savers[1]));
  EXPECT_EQ(1, RunSaverWindowCount());
  EXPECT_EQ(0, saverInput.dialogActive) << "input would be ignored for ever";
  EXPECT_EQ(0, quits);
  // The user can still leave: input asks again, and the accepted password ends the run.
  duringDialog = nullptr;
  verifyAnswer = 1;
  SendMessageA(lead, WM_KEYDOWN, 'A', 0);
  ASSERT_TRUE(Pump([&] { return quits > 0; }));
  EXPECT_EQ(2, quitCode);
  EXPECT_FALSE(IsWindow(lead));
}

TEST_F(DisplayRunTest, TheActiveConfigurationOpensOverTheFirstWindowWhicheverWindowAskedForIt) {
  ChangePrefs([](ScrPrefs& p) {
    p.allowActiveConfig = 1;
    p.neverPassword = 1;
  });
  Start(SCRMONITORS_EACH);
  saverInput.activeConfig = 1;
  std::vector<HWND> savers = RunWindowsOf(RunWindowKind::Saver);
  ASSERT_EQ(3u, savers.size());
  // The monitor of the window clicked is unplugged while the configuration is open.
  int flagDuring = -1;
  duringDialog = [&](HWND) {
    ChangeMonitors({primary, below});
    flagDuring = saverInput.dialogActive;
  };
  SendMessageA(savers[1], WM_RBUTTONDOWN, MK_RBUTTON, 0);
  EXPECT_EQ(1, seen[savers[0]].configurations);
  EXPECT_EQ(0, seen[savers[1]].configurations);
  EXPECT_EQ(1, flagDuring);
  EXPECT_FALSE(IsWindow(savers[1]));
  EXPECT_EQ(2, RunSaverWindowCount());
  EXPECT_EQ(0, saverInput.dialogActive) << "input would be ignored for ever";
  // Input still ends the run.
  duringDialog = nullptr;
  SendMessageA(savers[2], WM_KEYDOWN, 'A', 0);
  ASSERT_TRUE(Pump([&] { return quits > 0; }));
  EXPECT_EQ(2, quitCode);
}

TEST_F(DisplayRunTest, AMonitorPluggedInKeepsThePasswordDelayAndTheOpenPromptsFlag) {
  ChangePrefs([](ScrPrefs& p) { p.alwaysPassword = 1; });
  SetDesktop({primary});
  Start(SCRMONITORS_EACH);
  HWND lead = RunWindowsOf(RunWindowKind::Saver)[0];
  // The run started some time ago: its password delay runs from then.
  const DWORD started = GetTickCount() - 5000;
  saverInput.startTick = started;
  ChangeMonitors({primary, left});
  EXPECT_EQ(2, RunSaverWindowCount());
  EXPECT_EQ(started, saverInput.startTick) << "a new monitor restarted the password delay";
  // Another one while the prompt is open: its flag stays, and no window of the run covers it.
  int flagDuring = -1;
  int topmostDuring = -1;
  duringDialog = [&](HWND window) {
    ChangeMonitors({primary, left, below});
    flagDuring = saverInput.dialogActive;
    topmostDuring = TopmostOthers(window);
  };
  verifyAnswer = 0;
  SendMessageA(lead, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  ASSERT_TRUE(Pump([&] { return seen[lead].verifies > 0; }));
  EXPECT_EQ(3, RunSaverWindowCount());
  EXPECT_EQ(1, flagDuring) << "input during the prompt would close the run";
  EXPECT_EQ(0, topmostDuring) << "a window of the run may cover the prompt";
  EXPECT_EQ(started, saverInput.startTick);
  EXPECT_EQ(0, saverInput.dialogActive);
  EXPECT_EQ(2, TopmostOthers(lead)) << "the others stayed below once the prompt was gone";
  EXPECT_EQ(0, quits);
}

TEST_F(DisplayRunTest, ASaverThatPostsTheQuitItselfHasItsWindowsDestroyedBeforeTheRunWaits) {
  Start(SCRMONITORS_EACH);
  std::vector<HWND> savers = RunWindowsOf(RunWindowKind::Saver);
  ASSERT_EQ(3u, savers.size());
  quitAtTick = 6;
  ASSERT_TRUE(Pump([&] { return quits > 0; }));
  EXPECT_EQ(0, quitCode);
  for (HWND w : savers) ASSERT_TRUE(IsWindow(w));
  EndDisplayRun();  // as the run does once its message loop ended
  for (HWND w : savers) EXPECT_FALSE(IsWindow(w)) << "a window of the run outlived its loop";
  EXPECT_EQ(0, displayRun.count);
  libraryState.saverRunning = false;
  // No window is left to tick: the run's wait for its timers is short.
  EXPECT_TRUE(AwaitTimerThreads(1000));
  // The destroyed windows' quit message is not left for the caller's next loop.
  Pump([] { return false; }, 100);
  EXPECT_EQ(1, quits);
  EXPECT_TRUE(SettlesAt(0, 0)) << "left behind: threads " << CountThreads() - baseline.threads
                               << ", windows " << CountUserWindows() - baseline.userWindows << ": "
                               << TopLevelClasses();
}

TEST_F(DisplayRunTest, ThePolicyIsRefusedWhileASaverRunsAndForUnknownValues) {
  EXPECT_FALSE(ScrSetMonitorPolicy(3));
  EXPECT_FALSE(ScrSetMonitorPolicy(-1));
  EXPECT_TRUE(ScrSetMonitorPolicy(SCRMONITORS_SPAN));
  libraryState.saverRunning = true;
  EXPECT_FALSE(ScrSetMonitorPolicy(SCRMONITORS_EACH));
  EXPECT_EQ(SCRMONITORS_SPAN, displayRun.policy);
  libraryState.saverRunning = false;
  EXPECT_EQ(-1, ScrGetWindowMonitor(nullptr, nullptr));
  HWND plain = CreatePlainWindow();
  RECT untouched = {1, 2, 3, 4};
  EXPECT_EQ(-1, ScrGetWindowMonitor(plain, &untouched));
  EXPECT_EQ(1, untouched.left);
  EXPECT_EQ(-1, ScrGetWindowMonitor(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7ff0)), nullptr));
  DestroyWindow(plain);
}

TEST_F(DisplayRunTest, DebugModeRunsOneWindowWhateverThePolicy) {
  ChangePrefs([](ScrPrefs& p) { p.debugMode = 1; });
  Start(SCRMONITORS_EACH);
  EXPECT_EQ(1, displayRun.count);
  EXPECT_EQ(1, RunSaverWindowCount());
}

TEST_F(DisplayRunTest, AKeyIsHandledEvenWhenEveryWindowsFramesTakeLongerThanTheirPeriod) {
  // Three windows whose frames take 30 ms each, asking for one every 20: the ticks alone keep the
  // thread busy, and this thread's own message pump stays inside them. Another thread presses the
  // key once the ticks run, and when the key is not handled in time stops the ticks, so that the
  // test ends and fails.
  tickBusyMs = 30;
  Start(SCRMONITORS_EACH);
  std::vector<HWND> savers = RunWindowsOf(RunWindowKind::Saver);
  ASSERT_EQ(3u, savers.size());
  HWND target = savers[1];
  std::thread presser([this, target] {
    for (int i = 0; i < 500 && totalTicks < 6; ++i) Sleep(10);
    PostMessageA(target, WM_KEYDOWN, 'A', 0);
    for (int i = 0; i < 500 && quits == 0; ++i) Sleep(10);
    if (quits == 0) stopTicking = true;
  });
  Pump([this] { return quits > 0; }, 20000);
  presser.join();
  EXPECT_FALSE(stopTicking) << "the key waited behind the ticks";
  EXPECT_GE(totalTicks, 6);
  EXPECT_EQ(2, quitCode);
}

}  // namespace
