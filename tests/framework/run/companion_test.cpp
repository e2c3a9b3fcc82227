// Where the companion program is started from, seen from a program in a folder of its own: a copy
// in this program's folder or in the system folder is started; one that only the current folder
// or PATH offers is not.
#include "alone_folder.h"
#include "core/library.h"
#include "message_box_spy.h"
#include "run/saver_run.h"
#include "saver_fixture.h"

#include <gtest/gtest.h>

#include <string>

using namespace morvane;

namespace {

std::string SystemFolder() {
  char folder[MAX_PATH] = {};
  GetSystemDirectoryA(folder, MAX_PATH);
  return std::string(folder) + "\\";
}

SaverRequest PreviewInCompanion() {
  return ResolveSaverCommand(ParseCommandLine("\"C:\\Saver Folder\\test.scr\" /p tavisk"));
}

// Ends the companion that a check started, by its window, and waits until it is gone.
void CloseStartedCompanion() {
  for (int i = 0; i < 250; ++i) {
    HWND window = FindWindowA("tavisk", nullptr);
    if (!window) return;
    PostMessageA(window, WM_CLOSE, 0, 0);
    Sleep(20);
  }
}

class CompanionAlone : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(InAloneFolder()) << "this program must not have tavisk.exe beside it";
    ASSERT_TRUE(RemoveFile(SystemFolder() + "tavisk.exe")) << "left by an earlier run";
    EnsureLibrary();
    GetCurrentDirectoryA(MAX_PATH, previousFolder);
    GetEnvironmentVariableA("PATH", previousPath, sizeof previousPath);
    ASSERT_EQ(nullptr, FindWindowA("tavisk", nullptr));
  }
  void TearDown() override {
    SetEnvironmentVariableA("PATH", previousPath);
    SetCurrentDirectoryA(previousFolder);
    CloseStartedCompanion();
    EXPECT_TRUE(RemoveFromProgramFolder("tavisk.exe"));
    EXPECT_TRUE(RemoveFile(SystemFolder() + "tavisk.exe"));
  }
  StandInLog log;
  char previousFolder[MAX_PATH] = {};
  char previousPath[4096] = {};
};

TEST_F(CompanionAlone, OneOnlyInTheCurrentFolderOrOnPathIsNotStarted) {
  const std::string builtFolder = BuiltFolder();
  const struct {
    const char* row;
    std::string currentFolder;
    std::string path;
  } cases[] = {
      {"in the current folder", builtFolder, previousPath},
      {"on PATH", ProgramFolder(), builtFolder + ";" + previousPath},
  };
  for (const auto& c : cases) {
    SetCurrentDirectoryA(c.currentFolder.c_str());
    SetEnvironmentVariableA("PATH", c.path.c_str());
    const size_t startedBefore = log.Matching("tavisk child").size();
    StartAnsweringBoxes();
    SaverRequest request = PreviewInCompanion();
    std::vector<ShownBox> boxes = StopAnsweringBoxes();
    EXPECT_EQ(SaverAction::Refuse, request.action) << c.row;
    std::vector<std::string> started = log.Matching("tavisk child");
    started.erase(started.begin(), started.begin() + static_cast<std::ptrdiff_t>(startedBefore));
    EXPECT_EQ(std::vector<std::string>{}, started) << c.row << ": started";
    EXPECT_EQ(1u, boxes.size()) << c.row;
    if (!boxes.empty()) {
      EXPECT_EQ(
          "Tavisk was not present: and there was an error attempting to load it. Check that an "
          "up-to-date version is in the current path.",
          boxes[0].text);
      EXPECT_EQ("Tavisk", boxes[0].caption);
    }
    CloseStartedCompanion();
  }
}

TEST_F(CompanionAlone, OneInThisProgramsFolderOrTheSystemFolderIsStarted) {
  // Whatever the current folder and PATH offer: this program's folder is looked at first.
  SetCurrentDirectoryA(BuiltFolder().c_str());
  SetEnvironmentVariableA("PATH", (BuiltFolder() + ";" + previousPath).c_str());
  const std::string places[] = {ProgramFolder(), SystemFolder()};
  for (const std::string& folder : places) {
    ASSERT_TRUE(CopyBuiltFileTo("tavisk.exe", folder + "tavisk.exe")) << folder;
    const size_t startedBefore = log.Matching("tavisk child").size();
    StartAnsweringBoxes();
    SaverRequest request = PreviewInCompanion();
    EXPECT_TRUE(StopAnsweringBoxes().empty()) << folder;
    HWND companion = FindWindowA("tavisk", nullptr);
    ASSERT_NE(nullptr, companion) << folder;
    EXPECT_EQ(SaverAction::Preview, request.action) << folder;
    EXPECT_EQ(GetWindow(companion, GW_CHILD), request.parent) << folder;
    std::vector<std::string> started = log.Matching("tavisk child");
    ASSERT_EQ(startedBefore + 1, started.size()) << folder;
    const std::string module = started.back().substr(started.back().find("module=") + 7);
    EXPECT_EQ(0, lstrcmpiA((folder + "tavisk.exe").c_str(), module.c_str())) << module;
    CloseStartedCompanion();
    EXPECT_TRUE(RemoveFile(folder + "tavisk.exe")) << folder;
  }
}

}  // namespace
