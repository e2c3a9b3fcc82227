#include "password/passwords.h"

#include "core/library.h"
#include "password/password_delay.h"
#include "settings/prefs.h"
#include "settings/registry_number.h"
#include "core/resource_ids.h"
#include "window/saver_state.h"
#include "core/trace.h"

namespace morvane {

namespace {

// The author's declaration, when there is one: TRUE always, FALSE never, -1 none. Always wins
// when both are set, so that a contradictory declaration never drops a password.
int DeclaredPasswordNeed() {
  if (currentPrefs.alwaysPassword) return TRUE;
  if (currentPrefs.neverPassword) return FALSE;
  return -1;
}

BOOL SystemPasswordSetting() {
  Trace("NeedPassword?: checking the registry");
  char keyName[NameCapacity];
  if (!LoadFrameworkString(IDS_DESKTOP_KEY, keyName, sizeof keyName)) {
    Trace("NeedPassword: failed to load screensaver reg. key string. Aborting");
    return FALSE;
  }
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, keyName, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    Trace("NeedPassword: could not get screensaver reg. key. Aborting");
    return FALSE;
  }
  char valueName[NameCapacity];
  if (!LoadFrameworkString(IDS_USE_PASSWORD_VALUE, valueName, sizeof valueName)) {
    RegCloseKey(key);
    Trace("NeedPassword: failed to load 'usepw' key name. Aborting");
    return FALSE;
  }
  uint32_t usePassword = 0;
  bool read = QueryRegistryNumber(key, valueName, &usePassword);
  RegCloseKey(key);
  if (!read) {
    Trace("NeedPassword: failed to get 'usepw' value from registry. Aborting");
    return FALSE;
  }
  if (!usePassword) {
    Trace("NeedPassword: no, we don't need the password");
    return FALSE;
  }
  Trace("NeedPassword: yes, we do need the password");
  return TRUE;
}

}  // namespace

BOOL NeedPassword() {
  int declared = DeclaredPasswordNeed();
  if (declared >= 0) return declared;
  Trace("NeedPassword? Checking the timer");
  if (WithinPasswordDelay(saverInput.startTick, GetTickCount(), saverInput.passwordDelay)) {
    Trace("Nope, we're within the delay...");
    return FALSE;
  }
  return SystemPasswordSetting();
}

}  // namespace morvane
