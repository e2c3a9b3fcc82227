#pragma once
// Runs the configuration in this process as a saver run would, while a second thread finds the
// windows it opens, reads them and answers them as a person would.
#include <windows.h>
#include <prsht.h>

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "morvane.h"

// Resource-only saver modules beside the test, loaded as data files.
//   full: caption 3501 "Aurora Settings", icons 100 (red) and 199 (green), page 2003 "Aurora",
//         About 2004 whose control 10 holds 96 characters.
//   icon: icon 199 (blue) and an About 2004 without control 10.
HMODULE LoadSaverModule(const char* name);

// Installs a variant's executors on a clean slate (this program as the saver's module, no page
// procedure, no hooks or host, every preference that matters at its default) and puts it all
// back afterwards.
class ConfigRun : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // A visible top-level window standing in for a running saver; it records the notices it gets.
  HWND owner = nullptr;
};

// What a second thread sees of one configuration run.
struct SheetVisit {
  // Runs on the second thread while the sheet is up, before it presses closeButton.
  std::function<void(HWND sheet)> script;
  int closeButton = PSBTN_CANCEL;
  int sheetsSeen = 0;
};

// DoConfigDialog on this thread while a second thread visits each sheet that appears.
int RunConfiguration(HWND owner, int notifyOwner, SheetVisit* visit);

// An About box found on this test's thread, read and answered.
struct AboutView {
  bool shown = false;
  HWND owner = nullptr;
  std::string caption;
  RECT rect = {};  // on the screen
  bool hasVersionControl = false;
  std::string versionControlText;
  std::vector<std::string> controlTexts;
};

// Runs open on this thread while a second thread waits for an About box, reads it and presses
// button. open's result is returned through result.
AboutView AnswerAbout(const std::function<int()>& open, int button, int* result);
// From the driver thread, inside a sheet's script: reads and answers the About box owned by sheet.
AboutView AwaitAbout(HWND sheet, int button);

// On the driver thread: the sheet's tab texts, current tab, and the hidden dialog that owns it.
std::vector<std::string> TabTexts(HWND sheet);
int CurrentTab(HWND sheet);
HWND HiddenDialogOf(HWND sheet);
std::string TextOf(HWND window);

// An icon's colour pixels, 0x00RRGGBB row by row, with its size; empty for none.
struct IconPicture {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
  bool operator==(const IconPicture& other) const {
    return width == other.width && height == other.height && pixels == other.pixels;
  }
};
// Failure messages show an icon by its size and first pixel.
void PrintTo(const IconPicture& picture, std::ostream* out);
IconPicture PictureOf(HICON icon);
// The same icon loaded as the sheet loads it: 16 by 16 (small) or the default size (large).
IconPicture ModuleIcon(HMODULE module, int id, bool small);

// The notices that reached the owner and the stand-in previews, in order.
struct Delivery {
  HWND receiver;
  WPARAM flags;
  LPARAM summary;
  ScrSettings settings;  // a copy of the summary when there is one, else all zero
};
extern std::vector<Delivery> deliveries;
// The saver page procedure of page 2003 (this program's): a preview stand-in in its monitor
// control's inner window, and a window of class "Dialog" holding a second monitor control with
// its own stand-in. Each stand-in records what it receives.
INT_PTR CALLBACK TestPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
extern HWND topPreview;
extern HWND nestedPreview;
extern int testPageInits;
