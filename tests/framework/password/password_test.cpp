// The password services with the stand-in provider (PASSWORD.CPL) and router (MPR.DLL) beside this
// program: when a password is needed, the prompt and its answer, the change dialog, the password
// before active configuration and on closing, and where platform libraries may come from.
#include "core/library.h"
#include "message_box_spy.h"
#include "password/passwords.h"
#include "core/platform_library.h"
#include "saver_fixture.h"
#include "window/saver_state.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace morvane;

namespace {

class Passwords : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureLibrary();
    ResetPrefs();
    SetRegistryNumber(screenSaversKey, "Password Delay", 0);
    SetEnvironmentVariableA("MORVANE_STANDIN_VERIFY", "refuse");
  }
  void TearDown() override {
    ResetPrefs();
    DeleteRegistryValue(screenSaversKey, "Password Delay");
    DeleteRegistryValue(screenSaversKey, "Active Config");
    DeleteRegistryValue(desktopKey, "ScreenSaveUsePassword");
    SetEnvironmentVariableA("MORVANE_STANDIN_VERIFY", nullptr);
    while (TakeQuitCode() >= 0) {
    }
  }
  StandInLog log;
};

enum class Stored { Missing, Dword0, Dword1, Text0, Text1, FiveBytes };

void StoreUsePassword(Stored stored) {
  const char* name = "ScreenSaveUsePassword";
  const unsigned char five[5] = {1, 0, 0, 0, 0};
  switch (stored) {
    case Stored::Missing: DeleteRegistryValue(desktopKey, name); break;
    case Stored::Dword0: SetRegistryNumber(desktopKey, name, 0); break;
    case Stored::Dword1: SetRegistryNumber(desktopKey, name, 1); break;
    case Stored::Text0: SetRegistryData(desktopKey, name, REG_SZ, "0", 2); break;
    case Stored::Text1: SetRegistryData(desktopKey, name, REG_SZ, "1", 2); break;
    case Stored::FiveBytes: SetRegistryData(desktopKey, name, REG_BINARY, five, 5); break;
  }
}

TEST_F(Passwords, NeedPasswordWeighsDeclarationsThenTheDelayThenTheSystemSetting) {
  const struct {
    const char* row;
    bool always, never;
    int delay;
    DWORD elapsedMs;
    Stored stored;
    BOOL needed;
  } cases[] = {
      {"within the delay", false, false, 60, 58000, Stored::Dword1, FALSE},
      {"after the delay", false, false, 60, 61000, Stored::Dword1, TRUE},
      {"no delay, setting on", false, false, 0, 0, Stored::Dword1, TRUE},
      {"no delay, setting off", false, false, 0, 0, Stored::Dword0, FALSE},
      {"setting missing", false, false, 0, 0, Stored::Missing, FALSE},
      {"setting as text 1", false, false, 0, 0, Stored::Text1, TRUE},
      {"setting as text 0", false, false, 0, 0, Stored::Text0, FALSE},
      {"setting of five bytes", false, false, 0, 0, Stored::FiveBytes, FALSE},
      {"negative delay: due at once", false, false, -1, 0, Stored::Dword1, TRUE},
      {"always, within the delay", true, false, 60, 0, Stored::Missing, TRUE},
      {"never, setting on", false, true, 0, 0, Stored::Dword1, FALSE},
      {"both declared", true, true, 0, 0, Stored::Dword0, TRUE},
  };
  for (const auto& c : cases) {
    ChangePrefs([&](ScrPrefs& prefs) {
      prefs.alwaysPassword = c.always;
      prefs.neverPassword = c.never;
    });
    StoreUsePassword(c.stored);
    saverInput.passwordDelay = c.delay;
    saverInput.startTick = GetTickCount() - c.elapsedMs;
    EXPECT_EQ(c.needed, NeedPassword()) << c.row;
  }
}

TEST_F(Passwords, TheProviderPromptsWithTheCursorShownAndItsAnswerDecides) {
  HWND window = CreateSaverWindow(0);
  const struct {
    const char* answer;
    int result;
  } cases[] = {{"accept", IDOK}, {"refuse", IDCANCEL}};
  for (const auto& c : cases) {
    SetEnvironmentVariableA("MORVANE_STANDIN_VERIFY", c.answer);
    int countBefore = ShowCursor(FALSE) + 1;
    ShowCursor(TRUE);
    EXPECT_EQ(c.result, DoVerifyPwDialog(window)) << c.answer;
    int countAfter = ShowCursor(FALSE) + 1;
    ShowCursor(TRUE);
    EXPECT_EQ(countBefore, countAfter) << "the cursor is hidden again";
  }
  char owner[32];
  wsprintfA(owner, "owner=0x%x", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(window)));
  std::vector<std::string> calls = log.Matching("provider called");
  ASSERT_EQ(2u, calls.size());
  for (const std::string& call : calls) {
    EXPECT_NE(std::string::npos, call.find(owner)) << call;
    EXPECT_NE(std::string::npos, call.find("cursor=1")) << call;
    EXPECT_NE(std::string::npos, call.find(ProgramFolder() + "PASSWORD.CPL")) << call;
  }
  DestroySaverWindow(window);
}

TEST_F(Passwords, ChangePasswordRunsTheRoutersDialogOrTellsThatNoneIsUsed) {
  HWND parent = CreatePlainWindow();
  EXPECT_EQ(1, DoChangePwDialog(parent));
  char expected[160];
  wsprintfA(expected, "router called provider=SCRSAVE parent=0x%x flags=0 reserved=0",
            static_cast<unsigned>(reinterpret_cast<UINT_PTR>(parent)));
  std::vector<std::string> calls = log.Matching("router called");
  ASSERT_EQ(1u, calls.size()) << "the stand-in router needs WINEDLLOVERRIDES mpr=n,b";
  EXPECT_EQ(0u, calls[0].find(expected)) << calls[0];

  ChangePrefs([](ScrPrefs& prefs) { prefs.neverPassword = 1; });
  StartAnsweringBoxes();
  EXPECT_EQ(IDOK, DoChangePwDialog(parent));
  std::vector<ShownBox> boxes = StopAnsweringBoxes();
  ASSERT_EQ(1u, boxes.size());
  EXPECT_EQ("This screensaver never requires a password", boxes[0].text);
  EXPECT_EQ("Password", boxes[0].caption);
  EXPECT_EQ(1u, log.Matching("router called").size()) << "the router is not asked again";
  DestroyWindow(parent);
}

TEST_F(Passwords, ClosingAsksWhenDueAndARefusalKeepsTheSaverWithTheOriginMoved) {
  StoreUsePassword(Stored::Dword1);
  const struct {
    const char* answer;
    bool closes;
  } cases[] = {{"refuse", false}, {"accept", true}};
  for (const auto& c : cases) {
    SetEnvironmentVariableA("MORVANE_STANDIN_VERIFY", c.answer);
    SetCursorPos(50, 60);
    HWND window = CreateSaverWindow(0);
    SetCursorPos(500, 400);  // where the prompt leaves the cursor
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(c.closes, !IsWindow(window)) << c.answer;
    // The prompt runs with the dialog flag set, so input meanwhile closes nothing.
    ASSERT_EQ(4u, seenMessages.size()) << c.answer;
    EXPECT_EQ(UINT(SCRM_DIALOGACTIVE), seenMessages[1].message);
    EXPECT_EQ(1u, seenMessages[1].wParam);
    EXPECT_EQ(UINT(SCRM_VERIFYPW), seenMessages[2].message);
    EXPECT_EQ(UINT(SCRM_DIALOGACTIVE), seenMessages[3].message);
    EXPECT_EQ(0u, seenMessages[3].wParam);
    EXPECT_EQ(500, saverInput.cursorOrigin.x) << c.answer;
    EXPECT_EQ(400, saverInput.cursorOrigin.y) << c.answer;
    if (IsWindow(window)) DestroySaverWindow(window);
  }
}

TEST_F(Passwords, ActiveConfigurationAsksFirstWhenAPasswordIsDue) {
  StoreUsePassword(Stored::Dword1);
  SetRegistryNumber(screenSaversKey, "Active Config", 1);
  const struct {
    const char* row;
    const char* answer;
    int delay;
    bool askFirst;  // the author's activeConfigPassword
    bool verifies;
    bool opens;
  } cases[] = {
      {"refused", "refuse", 0, true, true, false},
      {"accepted", "accept", 0, true, true, true},
      {"within the delay", "refuse", 60, true, false, true},
      {"author does not ask", "refuse", 0, false, false, true},
  };
  for (const auto& c : cases) {
    ChangePrefs([&](ScrPrefs& prefs) {
      prefs.allowActiveConfig = 1;
      prefs.activeConfigPassword = c.askFirst;
    });
    SetRegistryNumber(screenSaversKey, "Password Delay", c.delay);
    SetEnvironmentVariableA("MORVANE_STANDIN_VERIFY", c.answer);
    HWND window = CreateSaverWindow(0);
    saverInput.startTick -= 5000;
    DWORD started = saverInput.startTick;
    SendMessageA(window, WM_KEYDOWN, VK_SHIFT, 0);
    EXPECT_EQ(c.verifies ? 1u : 0u, SeenOnly(SCRM_VERIFYPW).size()) << c.row;
    EXPECT_EQ(c.opens ? 1u : 0u, SeenOnly(SCRM_ACTIVECONFIG).size()) << c.row;
    // An accepted password restarts the delay; nothing else does.
    EXPECT_EQ(c.verifies && c.opens, saverInput.startTick != started) << c.row;
    EXPECT_EQ(0, saverInput.dialogActive) << c.row;
    EXPECT_TRUE(IsWindow(window)) << c.row;
    EXPECT_FALSE(TakeClosePosted(window)) << c.row;
    DestroySaverWindow(window);
  }
}

struct TempFolder {
  std::string path;
  explicit TempFolder(const char* name) {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    path = std::string(base) + name + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(path.c_str(), nullptr);
  }
  ~TempFolder() {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        DeleteFileA((path + found.cFileName).c_str());
      } while (FindNextFileA(search, &found));
      FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
  }
};

TEST_F(Passwords, PlatformLibrariesComeFromTheProgramsFolderOrTheSystemOnly) {
  HMODULE provider = LoadPlatformLibrary("PASSWORD.CPL");
  ASSERT_NE(nullptr, provider);
  char path[MAX_PATH] = {};
  GetModuleFileNameA(provider, path, MAX_PATH);
  EXPECT_STREQ((ProgramFolder() + "PASSWORD.CPL").c_str(), path);
  FreeLibrary(provider);
  HMODULE system = LoadPlatformLibrary("version.dll");
  EXPECT_NE(nullptr, system);
  if (system) FreeLibrary(system);

  // A copy planted in the current folder, and one in a folder on PATH: the system's own search
  // would find both, the framework neither.
  TempFolder current("morvane_cwd_");
  TempFolder onPath("morvane_path_");
  CopyFileA((ProgramFolder() + "PASSWORD.CPL").c_str(), (current.path + "PLANTED.CPL").c_str(),
            FALSE);
  CopyFileA((ProgramFolder() + "PASSWORD.CPL").c_str(), (onPath.path + "ONPATH.CPL").c_str(),
            FALSE);
  char previousFolder[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, previousFolder);
  char previousPath[4096] = {};
  GetEnvironmentVariableA("PATH", previousPath, sizeof previousPath);
  SetCurrentDirectoryA(current.path.c_str());
  SetEnvironmentVariableA("PATH", (onPath.path + ";" + previousPath).c_str());
  for (const char* planted : {"PLANTED.CPL", "ONPATH.CPL"}) {
    EXPECT_EQ(nullptr, LoadPlatformLibrary(planted)) << planted;
    HMODULE reachable = LoadLibraryA(planted);
    EXPECT_NE(nullptr, reachable) << planted << " is there for the system's search";
    if (reachable) FreeLibrary(reachable);
  }
  SetEnvironmentVariableA("PATH", previousPath);
  SetCurrentDirectoryA(previousFolder);

  std::string tooLong(400, 'a');
  for (const char* name :
       {static_cast<const char*>(nullptr), "", "..\\PASSWORD.CPL",
        "C:\\windows\\system32\\version.dll", "sub/PASSWORD.CPL", tooLong.c_str()}) {
    EXPECT_EQ(nullptr, LoadPlatformLibrary(name)) << (name ? name : "(null)");
  }
}

}  // namespace
