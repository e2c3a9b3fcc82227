#pragma once
// Saver windows for in-process tests: their procedure records the framework messages they get and
// passes everything to DefSaverProc. Also the preferences, registry values and stand-in log the
// tests arrange.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "morvane.h"

struct SeenMessage {
  UINT message;
  WPARAM wParam;
};

// What the saver windows received of SCRM_VERIFYPW, SCRM_ACTIVECONFIG, SCRM_DIALOGACTIVE and
// WM_CLOSE, in order. Cleared by CreateSaverWindow.
extern std::vector<SeenMessage> seenMessages;
std::vector<UINT> SeenOnly(UINT message);

// A hidden saver window. mode >= 0 gives it the framework's creation record of that WindowMode;
// -1 passes a record that is not the framework's. Without a parent it is the full-screen window.
HWND CreateSaverWindow(int mode, HWND parent = nullptr);
// A plain window to hold previews, of class "Static" or the given one.
HWND CreatePlainWindow(const char* className = "Static", HWND parent = nullptr);

// Takes a WM_QUIT already posted to this thread: its code, or -1 when none is there.
int TakeQuitCode();
// Takes a WM_CLOSE already posted to the window, without dispatching it.
bool TakeClosePosted(HWND window);
// Destroys a saver window and takes the quit message its destruction may post.
void DestroySaverWindow(HWND window);

// Changes the current preferences through the public calls.
void ChangePrefs(const std::function<void(ScrPrefs&)>& change);
void ResetPrefs();

// Values under HKEY_CURRENT_USER: a number (REG_DWORD), raw data of a type, or none.
void SetRegistryNumber(const char* key, const char* value, DWORD number);
void SetRegistryData(const char* key, const char* value, DWORD type, const void* data, DWORD size);
void DeleteRegistryValue(const char* key, const char* value);
extern const char screenSaversKey[];
extern const char desktopKey[];

// The log the stand-ins append to (MORVANE_TEST_LOG), emptied at construction.
class StandInLog {
 public:
  StandInLog();
  ~StandInLog();
  std::vector<std::string> Lines() const;
  // Lines that start with prefix.
  std::vector<std::string> Matching(const std::string& prefix) const;

 private:
  std::string path_;
};

std::string ProgramFolder();
