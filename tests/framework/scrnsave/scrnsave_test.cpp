// Savers written the SDK library's way, linked with libmorvane_scrnsave.a or libmorvane_scrnsavw.a
// by their own link lines (only the library's name changed), run in every mode as the system runs
// them: each is a process of its own, watched through its windows, its exit code and the lines it
// logs (MORVANE_TEST_LOG).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

namespace {

const char saverClass[] = "WindowsScreenSaverClass";
const char thresholdKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers";

std::string SaverPath(const char* name) {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  return folder.substr(0, folder.find_last_of('\\') + 1) + "scrnsave\\" + name;
}

bool Poll(const std::function<bool()>& done, DWORD limitMs) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > limitMs) return false;
    Sleep(20);
  }
  return true;
}

struct FoundWindow {
  DWORD process;
  HWND parent;
  HWND window;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
  auto* found = reinterpret_cast<FoundWindow*>(data);
  char name[64];
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == found->process && GetClassNameA(window, name, sizeof name) &&
      lstrcmpA(name, saverClass) == 0) {
    found->window = window;
    return FALSE;
  }
  return TRUE;
}

class Saver {
 public:
  Saver(const char* name, const std::string& arguments) : log_(LogPath()) {
    DeleteFileA(log_.c_str());
    SetEnvironmentVariableA("MORVANE_TEST_LOG", log_.c_str());
    std::string line = "\"" + SaverPath(name) + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    started_ = CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &process_) != 0;
  }
  ~Saver() {
    if (!started_) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_.hProcess, 99);
      WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  bool started() const { return started_; }

  // The process's saver window, a child of parent when one is given.
  HWND Window(HWND parent = nullptr, DWORD limitMs = 10000) {
    FoundWindow found = {process_.dwProcessId, parent, nullptr};
    Poll(
        [&] {
          if (parent) {
            EnumChildWindows(parent, MatchWindow, reinterpret_cast<LPARAM>(&found));
          } else {
            EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&found));
          }
          return found.window != nullptr;
        },
        limitMs);
    return found.window;
  }

  // A top-level window of the process with this caption (a dialog or a message box).
  HWND Dialog(const char* caption, DWORD limitMs = 10000) {
    HWND dialog = nullptr;
    Poll(
        [&] {
          dialog = FindWindowA("#32770", caption);
          DWORD process = 0;
          if (dialog) GetWindowThreadProcessId(dialog, &process);
          return dialog && process == process_.dwProcessId;
        },
        limitMs);
    return dialog;
  }

  // The exit code, or 259 (still active) after limitMs.
  DWORD Exit(DWORD limitMs = 10000) {
    WaitForSingleObject(process_.hProcess, limitMs);
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
  }

  std::string Log() const {
    std::ifstream file(log_);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }
  bool Logged(const std::string& text) const { return Log().find(text) != std::string::npos; }
  bool WaitLogged(const std::string& text, DWORD limitMs = 10000) const {
    return Poll([&] { return Logged(text); }, limitMs);
  }
  // How many lines start with prefix.
  int Count(const std::string& prefix) const {
    std::istringstream lines(Log());
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) count += line.compare(0, prefix.size(), prefix) == 0;
    return count;
  }

  // The CPU time in ms the saver last reported of itself (MORVANE_TEST_CPU_MS), -1 before any.
  // NOTE: under Wine GetProcessTimes of another process reads 0.
  double CpuMs() const {
    std::istringstream lines(Log());
    std::string line;
    double cpu = -1;
    unsigned long us = 0, at = 0;
    while (std::getline(lines, line)) {
      if (std::sscanf(line.c_str(), "cpu %lu at %lu", &us, &at) == 2) cpu = us / 1000.0;
    }
    return cpu;
  }

 private:
  static std::string LogPath() {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + "scrnsave_test.log";
  }
  std::string log_;
  PROCESS_INFORMATION process_ = {};
  bool started_ = false;
};

// What each saver draws with: the prefix of the lines it logs per frame.
struct SaverCase {
  const char* file;
  const char* frame;
};

const SaverCase savers[] = {{"gdi_saver.scr", "gdi timer"}, {"wide_saver.scr", "wide paint"}};

void PressKey() {
  keybd_event('A', 0, 0, 0);
  keybd_event('A', 0, KEYEVENTF_KEYUP, 0);
}

class ScrnsaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Mouse movement closes the saver beyond 20 pixels; the pointer rests away from any corner.
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, thresholdKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) == ERROR_SUCCESS) {
      DWORD threshold = 20;
      RegSetValueExA(key, "Mouse Threshold", 0, REG_DWORD, reinterpret_cast<BYTE*>(&threshold),
                     sizeof threshold);
      RegCloseKey(key);
    }
    SetCursorPos(300, 300);
    SetEnvironmentVariableA("MORVANE_TEST_CPU_MS", "100");
  }
  void TearDown() override {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, thresholdKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
      RegDeleteValueA(key, "Mouse Threshold");
      RegCloseKey(key);
    }
  }
};

TEST_F(ScrnsaveTest, FullScreenCoversTheDesktopDrawsAndEndsOnAKeyOrMovement) {
  const RECT desktop = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                        GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                        GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  for (const SaverCase& c : savers) {
    for (bool byKey : {true, false}) {
      SCOPED_TRACE(std::string(c.file) + (byKey ? " key" : " movement"));
      SetCursorPos(300, 300);
      Saver saver(c.file, "/s");
      ASSERT_TRUE(saver.started());
      HWND window = saver.Window();
      ASSERT_NE(nullptr, window);
      RECT area;
      GetWindowRect(window, &area);
      EXPECT_TRUE(EqualRect(&area, &desktop));
      ASSERT_TRUE(saver.WaitLogged(std::string(c.frame) + " 3"));
      EXPECT_TRUE(saver.Logged("child=0 main=1"));
      SetForegroundWindow(window);
      if (byKey) {
        PressKey();
      } else {
        // Within the threshold nothing happens; beyond it the saver ends.
        SetCursorPos(305, 305);
        Sleep(200);
        EXPECT_EQ(STILL_ACTIVE, saver.Exit(0));
        SetCursorPos(400, 400);
      }
      EXPECT_EQ(2u, saver.Exit());
    }
  }
}

TEST_F(ScrnsaveTest, TheLibraryFillsTheDocumentedGlobals) {
  Saver saver("gdi_saver.scr", "/s");
  ASSERT_TRUE(saver.WaitLogged("gdi timer 1"));
  // The application's name of 39 characters fits, and the array is 40 characters long.
  EXPECT_TRUE(
      saver.Logged("app=ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abc appsize=40 name=SDK GDI saver"));
  EXPECT_TRUE(saver.Logged("gdi erase"));
  EXPECT_TRUE(saver.Logged("gdi timer 1 id=7"));
  PressKey();
  EXPECT_EQ(2u, saver.Exit());
  EXPECT_TRUE(saver.Logged("gdi destroy"));
  Saver wide("wide_saver.scr", "/s");
  ASSERT_TRUE(wide.WaitLogged("wide paint 1"));
  EXPECT_TRUE(wide.Logged("unicode=1 name=SDK wide saver"));
  PressKey();
  EXPECT_EQ(2u, wide.Exit());
}

// Display off (SC_MONITORPOWER 2) and a locked session (WTS_SESSION_LOCK) as the system sends them.
struct PauseCase {
  UINT message;
  WPARAM offW;
  LPARAM offL;
  WPARAM onW;
  LPARAM onL;
};

TEST_F(ScrnsaveTest, NothingIsDrawnWhileNobodySeesTheScreenAndDrawingResumesAtOnce) {
  const PauseCase pauses[] = {{WM_SYSCOMMAND, SC_MONITORPOWER, 2, SC_MONITORPOWER, -1},
                              {WM_WTSSESSION_CHANGE, 7, 0, 8, 0}};
  for (const SaverCase& c : savers) {
    for (const PauseCase& pause : pauses) {
      SCOPED_TRACE(std::string(c.file) + (pause.message == WM_SYSCOMMAND ? " off" : " lock"));
      Saver saver(c.file, "/s");
      HWND window = saver.Window();
      ASSERT_NE(nullptr, window);
      ASSERT_TRUE(saver.WaitLogged(std::string(c.frame) + " 3"));
      SendMessageA(window, pause.message, pause.offW, pause.offL);
      // A frame under way may still land; then none for a second, at next to no CPU.
      Sleep(200);
      int frames = saver.Count(c.frame);
      double cpu = saver.CpuMs();
      ASSERT_GE(cpu, 0.0) << "the saver reports no CPU figures";
      Sleep(1000);
      EXPECT_EQ(frames, saver.Count(c.frame));
      // Nothing spins: the figures' step is 10 ms under Wine.
      EXPECT_LT(saver.CpuMs() - cpu, 50.0);
      SendMessageA(window, pause.message, pause.onW, pause.onL);
      EXPECT_TRUE(Poll([&] { return saver.Count(c.frame) > frames + 2; }, 3000));
      PressKey();
      EXPECT_EQ(2u, saver.Exit());
    }
  }
}

// A host window with a caption and a border, as the display settings' preview is not: the preview
// fills its client area exactly.
HWND MakeHost() {
  WNDCLASSA host = {};
  host.lpfnWndProc = DefWindowProcA;
  host.hInstance = GetModuleHandleA(nullptr);
  host.lpszClassName = "ScrnsaveTestHost";
  RegisterClassA(&host);
  return CreateWindowExA(0, "ScrnsaveTestHost", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 60,
                         333, 255, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

void PumpFor(DWORD ms) {
  DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    Sleep(10);
  }
}

TEST_F(ScrnsaveTest, APreviewFillsTheHostsClientAreaAndEndsWithIt) {
  const char* forms[] = {"/p %u", "/p:%u", "-l %u"};
  for (const SaverCase& c : savers) {
    for (const char* form : forms) {
      SCOPED_TRACE(std::string(c.file) + " " + form);
      HWND host = MakeHost();
      ASSERT_NE(nullptr, host);
      char arguments[64];
      wsprintfA(arguments, form, static_cast<unsigned>(reinterpret_cast<UINT_PTR>(host)));
      Saver saver(c.file, arguments);
      HWND preview = nullptr;
      Poll(
          [&] {
            PumpFor(20);
            preview = FindWindowExA(host, nullptr, saverClass, nullptr);
            return preview != nullptr;
          },
          10000);
      ASSERT_NE(nullptr, preview);
      RECT client, area;
      GetClientRect(host, &client);
      GetWindowRect(preview, &area);
      MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&area), 2);
      EXPECT_TRUE(EqualRect(&client, &area));
      EXPECT_TRUE(Poll(
          [&] {
            PumpFor(20);
            return saver.Logged("child=1 main=1");
          },
          5000));
      DestroyWindow(host);
      EXPECT_EQ(2u, saver.Exit());
    }
  }
}

TEST_F(ScrnsaveTest, ConfigureShowsTheSaversDialogOrSaysThereAreNoOptions) {
  {
    Saver saver("gdi_saver.scr", "/c");
    HWND dialog = saver.Dialog("GDI saver settings");
    ASSERT_NE(nullptr, dialog);
    // RegisterDialogClasses answered FALSE, and the dialog came all the same.
    EXPECT_TRUE(saver.Logged("gdi register"));
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    // The dialog ended with 7, neither OK nor Cancel: nothing was accepted.
    EXPECT_EQ(0u, saver.Exit());
  }
  {
    Saver saver("wide_saver.scr", "/c:1234");
    HWND notice = saver.Dialog("Screen Saver");
    ASSERT_NE(nullptr, notice);
    char text[200] = "";
    GetDlgItemTextA(notice, 0xFFFF, text, sizeof text);
    EXPECT_STREQ("This screen saver has no options that you can set.", text);
    PostMessageA(notice, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(0u, saver.Exit());
  }
}

// The saver's own, or without one the framework's, which ends promptly whatever the parent.
TEST_F(ScrnsaveTest, ChangePasswordCallsTheSaversOwnOrTheFrameworks) {
  {
    Saver saver("gdi_saver.scr", "/a 0");
    EXPECT_EQ(1u, saver.Exit());
    EXPECT_TRUE(saver.Logged("gdi change password"));
  }
  HWND host = MakeHost();
  char withHost[32];
  wsprintfA(withHost, "/a %u", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(host)));
  for (const char* arguments : {"/a", "/a 0", static_cast<const char*>(withHost)}) {
    SCOPED_TRACE(arguments);
    Saver saver("pulse.scr", arguments);
    EXPECT_NE(static_cast<DWORD>(STILL_ACTIVE), saver.Exit(10000));
  }
  DestroyWindow(host);
}

// WM_APP + 1 and + 3 that the saver posts itself are its own, though the framework's messages
// have the same numbers.
TEST_F(ScrnsaveTest, TheSaversOwnAppMessagesReachIt) {
  Saver saver("narrow_saver.scr", "/s");
  ASSERT_TRUE(saver.WaitLogged("narrow frame 2"));
  EXPECT_TRUE(saver.Logged("narrow own WM_APP+1 w=11 l=12"));
  EXPECT_TRUE(saver.Logged("narrow own WM_APP+3 w=31 l=32"));
  SetForegroundWindow(saver.Window());
  PressKey();
  EXPECT_EQ(2u, saver.Exit());
}

// The guide's OpenGL example: full screen, preview and its settings.
TEST_F(ScrnsaveTest, ThePulseExampleRunsInEveryMode) {
  {
    Saver saver("pulse.scr", "/s");
    HWND window = saver.Window();
    ASSERT_NE(nullptr, window);
    // It takes keys once its OpenGL is set up, which it does not log: a key until it ends.
    EXPECT_TRUE(Poll(
        [&] {
          SetForegroundWindow(window);
          PressKey();
          return saver.Exit(200) != STILL_ACTIVE;
        },
        10000));
    EXPECT_EQ(2u, saver.Exit());
  }
  {
    HWND host = MakeHost();
    char arguments[32];
    wsprintfA(arguments, "/p %u", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(host)));
    Saver saver("pulse.scr", arguments);
    EXPECT_TRUE(Poll(
        [&] {
          PumpFor(20);
          return FindWindowExA(host, nullptr, saverClass, nullptr) != nullptr;
        },
        10000));
    DestroyWindow(host);
    EXPECT_EQ(2u, saver.Exit());
  }
  {
    Saver saver("pulse.scr", "/c");
    HWND dialog = saver.Dialog("Pulse Settings");
    ASSERT_NE(nullptr, dialog);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(0u, saver.Exit());
  }
}

}  // namespace
