#pragma once
// The saver author's preferences: one current copy per process, written only before a run.
#include "morvane.h"

namespace morvane {

enum { PrefsRecordSize = 556, PrefsTextCapacity = 256 };

extern ScrPrefs currentPrefs;

// Sets the defaults the first time; later calls do nothing.
void SetDefaultPrefs();

// Shows the resource message when the framework's module lacks icon 199, whatever debugTrace says.
void CheckResources();

// Records handed out by ScrGetPrefs. Allocate returns null when memory runs out; Release frees
// only a record that Allocate made and returns whether it did.
ScrPrefs* AllocatePrefsRecord();
bool ReleasePrefsRecord(ScrPrefs* record);

}  // namespace morvane
