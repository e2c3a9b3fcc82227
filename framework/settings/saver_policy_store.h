#pragma once
// The system's screen-saver settings as saver_policy.h decides them, read from the user's
// registry: "Control Panel\Desktop" and the policy's copy under
// "Software\Policies\Microsoft\Windows\Control Panel\Desktop". Any thread.
#include <windows.h>

#include "settings/saver_policy.h"

namespace morvane {

struct SaverSettings {
  bool saversActive;
  bool secure;
  bool saverFromPolicy;
  // How the saver's path was stored; saver holds it as stored (variables not yet expanded),
  // zero-terminated, and is empty unless saverKind is Text or ExpandText.
  StoredKind saverKind;
  char saver[MAX_PATH];
};

SaverSettings ReadSaverSettings();

}  // namespace morvane
