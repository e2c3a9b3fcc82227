// The password services of a program in a folder of its own, with the stand-ins put beside it one
// at a time: none, one without its entry point, the whole one. Runs with WINEDLLOVERRIDES mpr=n,
// so that Wine's own MPR.DLL never answers in place of a missing router.
#include "alone_folder.h"
#include "core/library.h"
#include "core/platform_library.h"
#include "message_box_spy.h"
#include "password/passwords.h"
#include "saver_fixture.h"

#include <gtest/gtest.h>

#include <string>

using namespace morvane;

namespace {

enum class Beside { Nothing, WithoutEntry, Whole };

const char* Name(Beside beside) {
  switch (beside) {
    case Beside::Nothing: return "nothing beside";
    case Beside::WithoutEntry: return "without the entry point";
    case Beside::Whole: return "the whole stand-in";
  }
  return "";
}

// Puts the stand-in of that kind beside this program under the system's file name.
void PutBeside(Beside beside, const char* fileName, const char* withoutEntry) {
  RemoveFromProgramFolder(fileName);
  if (beside == Beside::WithoutEntry) {
    ASSERT_TRUE(CopyBuiltFile(withoutEntry, fileName));
  } else if (beside == Beside::Whole) {
    ASSERT_TRUE(CopyBuiltFile(fileName, fileName));
  }
}

int CursorCount() {
  int count = ShowCursor(FALSE) + 1;
  ShowCursor(TRUE);
  return count;
}

class PasswordsAlone : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(InAloneFolder());
    ASSERT_TRUE(RemoveFromProgramFolder("MPR.DLL"));
    ASSERT_TRUE(RemoveFromProgramFolder("PASSWORD.CPL"));
    EnsureLibrary();
    ResetPrefs();
    SetEnvironmentVariableA("MORVANE_STANDIN_VERIFY", "refuse");
  }
  void TearDown() override {
    SetEnvironmentVariableA("MORVANE_STANDIN_VERIFY", nullptr);
    RemoveFromProgramFolder("MPR.DLL");
    RemoveFromProgramFolder("PASSWORD.CPL");
    ResetPrefs();
  }
  StandInLog log;
};

TEST_F(PasswordsAlone, ChangePasswordAnswers2WhenTheRouterOrItsEntryPointIsMissing) {
  HWND parent = CreatePlainWindow();
  const struct {
    Beside beside;
    int result;
    const char* logged;  // the router's line, when it was loaded
  } cases[] = {
      {Beside::Nothing, 2, nullptr},
      {Beside::WithoutEntry, 2, "bare router loaded"},
      {Beside::Whole, 1, "router called"},
  };
  for (const auto& c : cases) {
    PutBeside(c.beside, "MPR.DLL", "MPR_WITHOUT_ENTRY.DLL");
    if (c.beside == Beside::Nothing) {
      HMODULE reached = LoadPlatformLibrary("MPR.DLL");
      if (reached) FreeLibrary(reached);
      ASSERT_EQ(nullptr, reached) << "Wine's own MPR.DLL answers: run with WINEDLLOVERRIDES mpr=n";
    }
    size_t before = log.Lines().size();
    StartAnsweringBoxes();
    EXPECT_EQ(c.result, DoChangePwDialog(parent)) << Name(c.beside);
    EXPECT_TRUE(StopAnsweringBoxes().empty()) << Name(c.beside) << ": nothing is shown";
    std::vector<std::string> lines = log.Lines();
    lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(before));
    if (c.logged) {
      ASSERT_FALSE(lines.empty()) << Name(c.beside);
      EXPECT_EQ(0u, lines[0].find(c.logged)) << lines[0];
      EXPECT_NE(std::string::npos, lines[0].find(ProgramFolder() + "MPR.DLL")) << lines[0];
    } else {
      EXPECT_TRUE(lines.empty()) << lines[0];
    }
    if (c.beside == Beside::WithoutEntry) {
      EXPECT_EQ(2u, lines.size()) << "loaded, then unloaded: " << lines.back();
      EXPECT_EQ("bare router unloaded", lines.back());
    }
    EXPECT_EQ(nullptr, GetModuleHandleA("MPR.DLL")) << Name(c.beside) << ": left loaded";
  }
  DestroyWindow(parent);
}

TEST_F(PasswordsAlone, VerificationAnswersIdokWhenTheProviderOrItsEntryPointIsMissing) {
  HWND window = CreateSaverWindow(0);
  const struct {
    Beside beside;
    int result;
    const char* logged;
  } cases[] = {
      {Beside::Nothing, IDOK, nullptr},
      {Beside::WithoutEntry, IDOK, "bare provider loaded"},
      {Beside::Whole, IDCANCEL, "provider called"},  // the whole one refuses
  };
  for (const auto& c : cases) {
    PutBeside(c.beside, "PASSWORD.CPL", "PASSWORD_WITHOUT_ENTRY.CPL");
    size_t before = log.Lines().size();
    int cursorBefore = CursorCount();
    StartAnsweringBoxes();
    EXPECT_EQ(c.result, DoVerifyPwDialog(window)) << Name(c.beside);
    EXPECT_TRUE(StopAnsweringBoxes().empty()) << Name(c.beside) << ": nothing is shown";
    EXPECT_EQ(cursorBefore, CursorCount()) << Name(c.beside);
    std::vector<std::string> lines = log.Lines();
    lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(before));
    if (c.logged) {
      ASSERT_FALSE(lines.empty()) << Name(c.beside);
      EXPECT_EQ(0u, lines[0].find(c.logged)) << lines[0];
      EXPECT_NE(std::string::npos, lines[0].find(ProgramFolder() + "PASSWORD.CPL")) << lines[0];
    } else {
      EXPECT_TRUE(lines.empty()) << lines[0];
    }
    if (c.beside == Beside::WithoutEntry) {
      EXPECT_EQ(2u, lines.size()) << "loaded, then unloaded: " << lines.back();
      EXPECT_EQ("bare provider unloaded", lines.back());
    }
    EXPECT_EQ(nullptr, GetModuleHandleA("PASSWORD.CPL")) << Name(c.beside) << ": left loaded";
  }
  DestroySaverWindow(window);
}

}  // namespace
