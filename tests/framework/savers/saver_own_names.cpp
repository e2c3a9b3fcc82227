// A saver whose own global functions carry exactly the names and signatures the framework once
// used for its internals. Linked whole (morvane_linked) those clashed at link time ("multiple
// definition of Trace(char const*)"); that this program links at all, in both builds, is half the
// check. The other half is the run: a real full-screen saver in which the saver's own functions,
// not the framework's, are the ones called.
//
// Run with "/s". Exit code 0 when ScrMain returned 2 after the window was created full screen,
// ticked, closed by this saver and destroyed, with every one of its own functions called; else the
// code of the first condition that failed (see Failure). One line on stderr says what it found.
#include "morvane.h"

#include <cstdio>
#include <cstring>

// Declared first so that nothing here can quietly become internal to this file: the names must be
// external, as the framework's were, for a clash to be possible.
void Trace(const char* text);
void OnCreate(HWND window, CREATESTRUCTA* create);
bool IsFullScreen(HWND window);
void EnsureLibrary();

namespace {

// Distinct from ScrMain's 2 and from the small codes a crashed Wine process reports.
enum Failure {
  Passed = 0,
  WrongResult = 10,  // ScrMain did not return what a full-screen run ends with
  NotCreatedFullScreen = 11,
  NoTick = 12,
  OwnFunctionsUnused = 13,  // some of the saver's own functions never ran
  WrongSequence = 14,       // the run did not go created, ticked, closed, destroyed
  WrongFramework = 15,      // the framework did not come from where this build says it does
};

struct Record {
  char trace[512];
  int traceCalls;
  int createCalls;
  int createdMode;
  int fullScreenCalls;
  int libraryCalls;
  int ticks;
  bool closePosted;
};

Record record = {"", 0, 0, -1, 0, 0, 0, false};

const char expectedTrace[] = "library|create full|tick|close|destroy|";

}  // namespace

// Starts the saver's own trace on the first call, as the framework's once started the framework.
void EnsureLibrary() {
  if (record.libraryCalls++ == 0) std::snprintf(record.trace, sizeof record.trace, "library|");
}

void Trace(const char* text) {
  EnsureLibrary();
  ++record.traceCalls;
  size_t used = std::strlen(record.trace);
  std::snprintf(record.trace + used, sizeof record.trace - used, "%s|", text);
}

// The framework releases the creation record once WM_CREATE reaches DefSaverProc, so its mode is
// read here, before.
void OnCreate(HWND window, CREATESTRUCTA* create) {
  ++record.createCalls;
  const SaverCreateParams* params =
      create ? static_cast<const SaverCreateParams*>(create->lpCreateParams) : nullptr;
  record.createdMode = params ? params->mode : -1;
  Trace(IsFullScreen(window) ? "create full" : "create preview");
}

bool IsFullScreen(HWND window) {
  ++record.fullScreenCalls;
  return GetParent(window) == nullptr;
}

namespace {

LRESULT CALLBACK SaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: OnCreate(window, reinterpret_cast<CREATESTRUCTA*>(lParam)); break;
    case SCRM_TIMER:
      ++record.ticks;
      if (!record.closePosted && IsFullScreen(window)) {
        Trace("tick");
        record.closePosted = PostMessageA(window, WM_CLOSE, 0, 0) != FALSE;
      }
      // Long enough that the close is handled before another tick could arrive.
      return 1000;
    case WM_CLOSE: Trace("close"); break;
    case WM_DESTROY: Trace("destroy"); break;
    default: break;
  }
  return DefSaverProc(window, message, wParam, lParam);
}

// Linked whole, the framework is inside this program and no morvane.dll is loaded; through the
// import library, the one loaded must be the copy installed in the Windows directory.
bool FrameworkFromExpectedPlace(char* where, size_t capacity) {
  HMODULE library = GetModuleHandleA("morvane.dll");
  std::snprintf(where, capacity, "none");
  if (library) GetModuleFileNameA(library, where, static_cast<DWORD>(capacity));
#ifdef MORVANE_OWN_NAMES_DLL
  char installed[MAX_PATH];
  UINT length = GetWindowsDirectoryA(installed, sizeof installed);
  if (!library || length == 0 || length >= sizeof installed) return false;
  std::snprintf(installed + length, sizeof installed - length, "\\morvane.dll");
  return lstrcmpiA(where, installed) == 0;
#else
  return library == nullptr;
#endif
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  EnsureLibrary();
  // The password settings in the shared registry belong to other tests; closing must not wait
  // for a password prompt here.
  ScrPrefs* prefs = ScrGetPrefs();
  if (prefs) {
    prefs->neverPassword = 1;
    ScrSetPrefs(prefs);
  }
  int result = ScrMain(instance, SaverProc, nullptr, nullptr, 0);

  char where[MAX_PATH];
  bool expectedFramework = FrameworkFromExpectedPlace(where, sizeof where);
  Failure failure = Passed;
  if (result != 2) {
    failure = WrongResult;
  } else if (record.createCalls != 1 || record.createdMode != WINDOWMODE_FULLSCREEN) {
    failure = NotCreatedFullScreen;
  } else if (record.ticks == 0) {
    failure = NoTick;
  } else if (record.libraryCalls == 0 || record.traceCalls == 0 || record.fullScreenCalls == 0) {
    failure = OwnFunctionsUnused;
  } else if (std::strcmp(record.trace, expectedTrace) != 0) {
    failure = WrongSequence;
  } else if (!expectedFramework) {
    failure = WrongFramework;
  }
  std::fprintf(stderr,
               "saver_own_names: ScrMain=%d mode=%d ticks=%d calls: OnCreate=%d IsFullScreen=%d "
               "EnsureLibrary=%d Trace=%d trace=[%s] morvane.dll=%s -> %d\n",
               result, record.createdMode, record.ticks, record.createCalls, record.fullScreenCalls,
               record.libraryCalls, record.traceCalls, record.trace, where,
               static_cast<int>(failure));
  std::fflush(stderr);
  return failure;
}
