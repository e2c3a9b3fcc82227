#include "config/config_dialog.h"

#include "prefs.h"
#include "trace.h"

// Every configuration run starts by checking that the framework's resources are there, and tells
// the user when they are not. This run ends there: it changes nothing and returns 0, what a sheet
// closed without changes returns.
int DoConfigDialog(HWND, int) {
  Trace("Morvane: DoConfigDialog: starting...");
  CheckResources();
  Trace("Morvane: ~DoConfigDialog.");
  return 0;
}
