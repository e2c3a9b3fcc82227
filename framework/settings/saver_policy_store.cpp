#include "settings/saver_policy_store.h"

namespace morvane {

namespace {

const char userKey[] = "Control Panel\\Desktop";
const char policyKey[] = "Software\\Policies\\Microsoft\\Windows\\Control Panel\\Desktop";
const char activeName[] = "ScreenSaveActive";
const char saverName[] = "SCRNSAVE.EXE";
const char secureName[] = "ScreenSaverIsSecure";

// One value into text (MAX_PATH bytes); a missing key reads as missing values.
StoredValue ReadValue(HKEY key, const char* name, char* text) {
  StoredValue value = {};
  if (!key) return value;
  DWORD type = REG_NONE;
  DWORD size = MAX_PATH - 1;
  LONG error = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
  if (error == ERROR_MORE_DATA) {
    value.kind = StoredKind::TooLong;
  } else if (error != ERROR_SUCCESS) {
    value.kind = StoredKind::Missing;
  } else if (type == REG_SZ || type == REG_EXPAND_SZ) {
    text[size] = 0;
    value = {type == REG_SZ ? StoredKind::Text : StoredKind::ExpandText, 0, text, size};
  } else if (type == REG_DWORD && size == sizeof(DWORD)) {
    DWORD number;
    CopyMemory(&number, text, sizeof number);
    value = {StoredKind::Number, number, nullptr, 0};
  } else {
    value.kind = StoredKind::Other;
  }
  return value;
}

struct PairTexts {
  char policy[MAX_PATH];
  char user[MAX_PATH];
};

StoredPair ReadPair(HKEY policy, HKEY user, const char* name, PairTexts* texts) {
  return {ReadValue(policy, name, texts->policy), ReadValue(user, name, texts->user)};
}

HKEY OpenDesktopKey(const char* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, name, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return nullptr;
  }
  return key;
}

}  // namespace

SaverSettings ReadSaverSettings() {
  HKEY policyDesktop = OpenDesktopKey(policyKey);
  HKEY userDesktop = OpenDesktopKey(userKey);
  PairTexts texts[3];
  SaverPolicyValues values = {ReadPair(policyDesktop, userDesktop, activeName, &texts[0]),
                              ReadPair(policyDesktop, userDesktop, saverName, &texts[1]),
                              ReadPair(policyDesktop, userDesktop, secureName, &texts[2])};
  if (policyDesktop) RegCloseKey(policyDesktop);
  if (userDesktop) RegCloseKey(userDesktop);
  SaverPolicy policy = DecideSaverPolicy(values);
  SaverSettings settings = {
      policy.saversActive, policy.secure, policy.saverFromPolicy, policy.saver.kind, {}};
  bool text = policy.saver.kind == StoredKind::Text || policy.saver.kind == StoredKind::ExpandText;
  if (text) lstrcpynA(settings.saver, policy.saver.text, MAX_PATH);
  return settings;
}

}  // namespace morvane
