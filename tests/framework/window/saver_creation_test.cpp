// Saver windows made by the executors of the saver-main variants in this process: the mode a window
// keeps when a creation hook or a host makes it without the framework's creation record, where a
// preview sits inside its host, and the framework's set-up of a window whose saver answers
// WM_CREATE itself.
#include "core/library.h"
#include "message_box_spy.h"
#include "run/saver_run.h"
#include "saver_fixture.h"
#include "timer/timer.h"
#include "window/saver_state.h"
#include "window/saver_windows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace morvane;

namespace {

// The whole primary screen, where a full-screen window of a one-monitor run goes.
morvane::ScreenBox Screen() {
  return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

// The plain variant's saver procedure: answers WM_CREATE itself when asked to, ticks every 20 ms.
bool answersCreate;
int ticks;
int closesSeen;

LRESULT CALLBACK PlainSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      if (answersCreate) return 0;
      break;
    case SCRM_TIMER: ++ticks; return 20;
    case WM_CLOSE: ++closesSeen; break;
    default: break;
  }
  return DefSaverProc(window, message, wParam, lParam);
}

// The creation hook and the host make the window as described, passing the framework's creation
// record on or not; the hook may move the cursor once the window exists, or answer with a window
// it did not make.
bool passesRecord;
bool hookMovesCursor;
HWND hookAnswer;
const POINT cursorAfterHook = {500, 500};
CREATESTRUCTA lastDescription;

HWND CreateAsDescribed(const CREATESTRUCTA& create) {
  lastDescription = create;
  return CreateWindowExA(create.dwExStyle, create.lpszClass, create.lpszName,
                         static_cast<DWORD>(create.style), create.x, create.y, create.cx, create.cy,
                         create.hwndParent, create.hMenu, create.hInstance,
                         passesRecord ? create.lpCreateParams : nullptr);
}

HWND WINAPI CreationHook(int, CREATESTRUCTA* create) {
  if (hookAnswer) return hookAnswer;
  HWND window = CreateAsDescribed(*create);
  if (hookMovesCursor) SetCursorPos(cursorAfterHook.x, cursorAfterHook.y);
  return window;
}

LRESULT CALLBACK HostProc(HWND host, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case SCRHOST_MONITORPREVIEW:
    case SCRHOST_SYSTEMPREVIEW:
    case SCRHOST_SAVERWINDOW:
      return reinterpret_cast<LRESULT>(
          CreateAsDescribed(*reinterpret_cast<const CREATESTRUCTA*>(lParam)));
    default: return DefHostProc(host, message, wParam, lParam);
  }
}

HWND CreateHost() {
  static const char hostClass[] = "SaverCreationTestHost";
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = HostProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = hostClass;
  RegisterClassExA(&windowClass);
  return CreateWindowExA(0, hostClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

// The window's start requests for its timer waiting in the queue, taken.
int TakeStartRequests(HWND window) {
  int count = 0;
  MSG message;
  while (PeekMessageA(&message, window, SCRM_INTERNAL, SCRM_INTERNAL, PM_REMOVE)) {
    // NOTE: a pending WM_QUIT is returned whatever the filter says.
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (message.wParam == SCRINTERNAL_STARTTIMER) ++count;
  }
  return count;
}

// Dispatches this thread's messages until done() holds or limitMs have passed; a WM_QUIT ends it
// early and is posted again for the test to take. Whether done() held.
template <typename Done>
bool PumpUntil(Done done, DWORD limitMs) {
  DWORD start = GetTickCount();
  while (!done()) {
    DWORD spent = GetTickCount() - start;
    if (spent >= limitMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, limitMs - spent, QS_ALLINPUT);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(message.wParam));
        return done();
      }
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  return true;
}

// A plain window that another thread made and takes messages for while the object lives.
class ForeignWindow {
 public:
  ForeignWindow() {
    ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, Run, this, 0, &threadId_);
    if (thread_) WaitForSingleObject(ready_, 5000);
  }
  ~ForeignWindow() {
    if (thread_) {
      PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
      WaitForSingleObject(thread_, 5000);
      CloseHandle(thread_);
    }
    CloseHandle(ready_);
  }
  HWND window = nullptr;

 private:
  static DWORD WINAPI Run(void* self) {
    ForeignWindow* foreign = static_cast<ForeignWindow*>(self);
    foreign->window = CreateWindowExA(0, "Static", "foreign", WS_POPUP, 0, 0, 10, 10, nullptr,
                                      nullptr, GetModuleHandleA(nullptr), nullptr);
    SetEvent(foreign->ready_);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    DestroyWindow(foreign->window);
    return 0;
  }
  HANDLE ready_ = nullptr;
  HANDLE thread_ = nullptr;
  DWORD threadId_ = 0;
};

class SaverCreation : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureLibrary();
    ResetPrefs();
    SetRegistryNumber(screenSaversKey, "Password Delay", 60);
    SetRegistryNumber(screenSaversKey, "Mouse Threshold", 0);
    DeleteRegistryValue(desktopKey, "ScreenSaveUsePassword");
    savedRun = saverRun;
    saverRun.instance = GetModuleHandleA(nullptr);
    RegisterSaverClass(saverRun.instance, plainSaverClass, PlainSaverProc, NULL_BRUSH);
    RegisterSaverClass(saverRun.instance, dummySaverClass, DefSaverProc, NULL_BRUSH);
    saverRun.createHook = CreationHook;
    host = CreateHost();
    saverRun.hostWindow = host;
    answersCreate = passesRecord = hookMovesCursor = false;
    hookAnswer = nullptr;
    ticks = closesSeen = 0;
    while (TakeQuitCode() >= 0) {
    }
  }
  void TearDown() override {
    DestroyWindow(host);
    UnregisterClassA(plainSaverClass, saverRun.instance);
    UnregisterClassA(dummySaverClass, saverRun.instance);
    saverRun = savedRun;
    ResetPrefs();
    DeleteRegistryValue(screenSaversKey, "Password Delay");
    DeleteRegistryValue(screenSaversKey, "Mouse Threshold");
    while (TakeQuitCode() >= 0) {
    }
  }
  SaverRun savedRun;
  HWND host = nullptr;
};

// A preview that CreatePreview asks for on a plain page window is a monitor preview: its going
// must not end the configuration sheet's message loop, whoever made it and however.
TEST_F(SaverCreation, AWindowMadeWithoutTheRecordKeepsTheModeTheFrameworkAskedFor) {
  HWND page = CreatePlainWindow();
  HWND monitor = CreatePlainWindow("MorvaneMonitorWindowClass");
  const struct {
    const char* kind;
    const SaverExecutors* variant;
    bool fullScreen;
    bool inMonitor;
    HWND parent;
    int mode;
    int quitCode;  // -1: none
  } cases[] = {
      {"hook's monitor preview in a page", &hookedExecutors, false, true, page, 1, -1},
      {"host's monitor preview in a page", &hostedExecutors, false, true, page, 1, -1},
      {"hook's system preview in a monitor window", &hookedExecutors, false, false, monitor, 2, 2},
      {"host's system preview in a monitor window", &hostedExecutors, false, false, monitor, 2, 2},
      {"hook's full-screen window", &hookedExecutors, true, false, nullptr, 0, 2},
      {"host's full-screen window", &hostedExecutors, true, false, nullptr, 0, 2},
  };
  for (bool passes : {false, true}) {
    passesRecord = passes;
    for (const auto& c : cases) {
      HWND window = c.fullScreen ? c.variant->makeSaverWindow(Screen())
                                 : c.variant->makePreviewWindow(c.parent, c.inMonitor);
      ASSERT_NE(nullptr, window) << c.kind << " passes=" << passes;
      EXPECT_EQ(c.mode, RecordedWindowMode(window)) << c.kind << " passes=" << passes;
      EXPECT_EQ(-1, TakeQuitCode()) << c.kind << " passes=" << passes;
      DestroyWindow(window);
      EXPECT_EQ(c.quitCode, TakeQuitCode()) << c.kind << " passes=" << passes;
    }
  }
  DestroyWindow(page);
  DestroyWindow(monitor);
}

TEST_F(SaverCreation, APreviewFillsTheClientAreaOfItsHost) {
  HWND bordered =
      CreateWindowExA(0, "Static", "host", WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME, 50, 60, 160,
                      139, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  HWND borderless = CreateWindowExA(0, "Static", "host", WS_POPUP, 70, 80, 152, 112, nullptr,
                                    nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(nullptr, bordered);
  ASSERT_NE(nullptr, borderless);
  RECT borderedClient;
  GetClientRect(bordered, &borderedClient);
  ASSERT_LT(borderedClient.right, 160) << "the host has no border";
  ASSERT_LT(borderedClient.bottom, 139) << "the host has no caption";
  const struct {
    const char* kind;
    HWND parent;
    const SaverExecutors* variant;
  } cases[] = {
      {"plain, bordered host", bordered, &plainExecutors},
      {"hooks, bordered host", bordered, &hookedExecutors},
      {"host, bordered host", bordered, &hostedExecutors},
      {"plain, borderless host", borderless, &plainExecutors},
  };
  for (const auto& c : cases) {
    RECT client;
    GetClientRect(c.parent, &client);
    POINT corner = {0, 0};
    ClientToScreen(c.parent, &corner);
    lastDescription = CREATESTRUCTA{};
    HWND preview = c.variant->makePreviewWindow(c.parent, false);
    ASSERT_NE(nullptr, preview) << c.kind;
    RECT frame;
    GetWindowRect(preview, &frame);
    EXPECT_EQ(corner.x, frame.left) << c.kind;
    EXPECT_EQ(corner.y, frame.top) << c.kind;
    EXPECT_EQ(client.right, frame.right - frame.left) << c.kind;
    EXPECT_EQ(client.bottom, frame.bottom - frame.top) << c.kind;
    if (c.variant != &plainExecutors) {
      // The hook and the host are told the same size.
      EXPECT_EQ(client.right, lastDescription.cx) << c.kind;
      EXPECT_EQ(client.bottom, lastDescription.cy) << c.kind;
    }
    DestroySaverWindow(preview);
  }
  DestroyWindow(bordered);
  DestroyWindow(borderless);
}

// Settings, mode, input session and timer come from the framework whether or not WM_CREATE
// reaches DefSaverProc, and only once when it does.
TEST_F(SaverCreation, EveryWindowIsSetUpOnceWhetherOrNotItsSaverPassesCreateOn) {
  ChangePrefs([](ScrPrefs& prefs) { prefs.noTimers = 0; });  // else no start request is posted
  SetRegistryNumber(screenSaversKey, "Mouse Threshold", 7);
  SetRegistryNumber(screenSaversKey, "Password Delay", 45);
  HWND page = CreatePlainWindow();
  const POINT cursor = {321, 234};
  const struct {
    const char* kind;
    const SaverExecutors* variant;
    bool answers;  // the plain saver answers WM_CREATE itself
    bool fullScreen;
    bool inMonitor;
    int mode;
  } cases[] = {
      {"full screen answering WM_CREATE", &plainExecutors, true, true, false, 0},
      {"full screen passing WM_CREATE on", &plainExecutors, false, true, false, 0},
      {"system preview answering WM_CREATE", &plainExecutors, true, false, false, 2},
      {"monitor preview answering WM_CREATE", &plainExecutors, true, false, true, 1},
      {"monitor preview passing WM_CREATE on", &plainExecutors, false, false, true, 1},
      // The hook moves the cursor after WM_CREATE: the session must not start again.
      {"full screen from a hook", &hookedExecutors, false, true, false, 0},
  };
  passesRecord = true;
  hookMovesCursor = true;
  for (const auto& c : cases) {
    answersCreate = c.answers;
    saverInput = SaverInputState{};  // as a new process has it
    ASSERT_TRUE(SetCursorPos(cursor.x, cursor.y));
    HWND window = c.fullScreen ? c.variant->makeSaverWindow(Screen())
                               : c.variant->makePreviewWindow(page, c.inMonitor);
    ASSERT_NE(nullptr, window) << c.kind;
    EXPECT_EQ(c.mode, RecordedWindowMode(window)) << c.kind;
    EXPECT_EQ(7, saverInput.mouseThreshold) << c.kind;
    EXPECT_EQ(45, saverInput.passwordDelay) << c.kind;
    EXPECT_TRUE(HasTimerSlot(window)) << c.kind;
    EXPECT_EQ(1, TakeStartRequests(window)) << c.kind;
    if (c.fullScreen) {
      EXPECT_EQ(cursor.x, saverInput.cursorOrigin.x) << c.kind;
      EXPECT_EQ(cursor.y, saverInput.cursorOrigin.y) << c.kind;
      EXPECT_NE(0u, saverInput.startTick) << c.kind;
    } else {
      EXPECT_EQ(0, saverInput.cursorOrigin.x) << c.kind;
    }
    DestroySaverWindow(window);
  }
  DestroyWindow(page);
}

// Its messages never reach DefSaverProc on the saver's thread: nothing is attached to it, and
// debugTrace shows why it will neither tick nor close.
TEST_F(SaverCreation, AWindowOfAnotherThreadWithoutItsSetUpIsLeftAloneAndShown) {
  ForeignWindow foreign;
  ASSERT_NE(nullptr, foreign.window);
  hookAnswer = foreign.window;
  ChangePrefs([](ScrPrefs& prefs) { prefs.debugTrace = 1; });
  StartAnsweringBoxes();
  HWND window = hookedExecutors.makeSaverWindow(Screen());
  std::vector<ShownBox> boxes = StopAnsweringBoxes();
  ChangePrefs([](ScrPrefs& prefs) { prefs.debugTrace = 0; });
  EXPECT_EQ(foreign.window, window);
  EXPECT_FALSE(HasRecordedWindowMode(foreign.window));
  EXPECT_FALSE(HasTimerSlot(foreign.window));
  ASSERT_EQ(1u, boxes.size());
  EXPECT_EQ("Programming error", boxes[0].caption);
  EXPECT_NE(std::string::npos, boxes[0].text.find("another thread")) << boxes[0].text;
}

TEST_F(SaverCreation, ASaverAnsweringCreateItselfTicksAndItsFullScreenWindowStays) {
  ChangePrefs([](ScrPrefs& prefs) { prefs.noTimers = 0; });
  OpenThreadRegistry();
  RaiseTimerResolution();
  saverInput = SaverInputState{};  // as a new process has it
  ASSERT_TRUE(SetCursorPos(321, 234));
  answersCreate = true;
  HWND window = plainExecutors.makeSaverWindow(Screen());
  ASSERT_NE(nullptr, window);
  // The mouse move the system sends as the window appears arrives while this pumps; the window
  // closed 0.2 to 0.4 s after it appeared when the framework had not set it up.
  EXPECT_TRUE(PumpUntil([&] { return ticks >= 25 || !IsWindow(window); }, 5000));
  EXPECT_GE(ticks, 25);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(0, closesSeen);
  SendMessageA(window, WM_MOUSEMOVE, 0, 0);
  EXPECT_FALSE(TakeClosePosted(window));
  DestroySaverWindow(window);
  EXPECT_TRUE(AwaitTimerThreads(5000));
  CloseThreadRegistry();
  RestoreTimerResolution();
}

}  // namespace
