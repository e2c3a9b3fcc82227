#include "settings/prefs.h"

#include "core/bounded_text.h"
#include "core/library.h"
#include "core/trace.h"

#include <cstddef>

namespace morvane {

static_assert(sizeof(ScrPrefs) == PrefsRecordSize, "ScrPrefs is 556 bytes");
static_assert(offsetof(ScrPrefs, noTimers) == 28, "eight flags before the texts");
static_assert(offsetof(ScrPrefs, text1) == 32 && offsetof(ScrPrefs, text2) == 288, "texts");
static_assert(offsetof(ScrPrefs, alwaysPassword) == 544, "password flags after the texts");
static_assert(offsetof(ScrPrefs, activeConfigPassword) == 552, "last field");

ScrPrefs currentPrefs;

namespace {

bool defaultsSet;

// Copies every field but the size; texts are cut to 255 characters and a zero, and never read
// beyond their 256 bytes even when the sender left out the zero.
void CopyPrefsFields(ScrPrefs& target, const ScrPrefs& source) {
  target.allowActiveConfig = source.allowActiveConfig;
  target.offerMuteSound = source.offerMuteSound;
  target.debugTrace = source.debugTrace;
  target.debugMode = source.debugMode;
  target.noAboutMenu = source.noAboutMenu;
  target.noPreviewNotify = source.noPreviewNotify;
  target.noTimers = source.noTimers;
  CopyText(target.text1, PrefsTextCapacity, source.text1, PrefsTextCapacity);
  CopyText(target.text2, PrefsTextCapacity, source.text2, PrefsTextCapacity);
  target.alwaysPassword = source.alwaysPassword;
  target.neverPassword = source.neverPassword;
  target.activeConfigPassword = source.activeConfigPassword;
}

void ReportPrefsError(const char* text) {
  Trace(text);
  DebugMessageBox(nullptr, text, "Prefs error");
}

}  // namespace

void SetDefaultPrefs() {
  if (defaultsSet) return;
  defaultsSet = true;
  currentPrefs = ScrPrefs{};
  currentPrefs.size = PrefsRecordSize;
  currentPrefs.offerMuteSound = 1;
  currentPrefs.activeConfigPassword = 1;
}

}  // namespace morvane
// The public operations: C linkage in the global namespace, built on the internals.
using namespace morvane;

extern "C" ScrPrefs* WINAPI ScrGetPrefs(void) {
  EnsureLibrary();
  SetDefaultPrefs();
  ScrPrefs* record = AllocatePrefsRecord();
  if (!record) return nullptr;
  record->size = PrefsRecordSize;
  CopyPrefsFields(*record, currentPrefs);
  return record;
}

extern "C" void WINAPI ScrSetPrefs(ScrPrefs* record) {
  EnsureLibrary();
  if (libraryState.saverRunning) {
    ReportPrefsError("You are not allowed to set prefs while screensaver is running");
    return;
  }
  if (!record) {
    ReportPrefsError("ScrSetPrefs called with NULL preferences");
    return;
  }
  CopyPrefsFields(currentPrefs, *record);
  if (currentPrefs.alwaysPassword && currentPrefs.neverPassword) {
    ReportPrefsError(
        "You have set always-require-password AND never-require-password, which is silly!");
  }
  ReleasePrefsRecord(record);
}
