/* A saver author's program in C, linked to morvane.dll through its import library. Exit code 0
   when every answer is as expected, else the number of the first check that failed. */
#include "morvane.h"

#include <string.h>

_Static_assert(sizeof(ScrPrefs) == 556, "ScrPrefs is 556 bytes in C too");
_Static_assert(sizeof(ScrSettings) == 24, "ScrSettings is 24 bytes in C too");

int main(void) {
  ScrSettings settings;
  ScrPrefs* prefs = ScrGetPrefs();
  if (!prefs || prefs->size != 556 || prefs->offerMuteSound != 1) return 1;
  strcpy(prefs->text1, "set from C");
  ScrSetPrefs(prefs);
  prefs = ScrGetPrefs();
  if (!prefs || strcmp(prefs->text1, "set from C") != 0) return 2;
  ScrSetPrefs(prefs);
  memset(&settings, 0xEE, sizeof settings);
  settings.size = 24;
  ScrGetSettings(&settings);
  if (settings.size != 24 || settings.corners[0] > 2 || settings.activeConfig != 0) return 3;
  if (!ScrSetMonitorPolicy(SCRMONITORS_EACH) || ScrSetMonitorPolicy(7) ||
      !ScrSetMonitorPolicy(SCRMONITORS_PRIMARY) || ScrGetWindowMonitor(NULL, NULL) != -1) {
    return 4;
  }
  return 0;
}
