#include "corner_settings.h"

#include <windows.h>

#include "agent_state.h"
#include "settings/settings_codec.h"
#include "trace.h"

namespace corners {

namespace {

// Where the framework keeps the user's screen-saver settings.
const char settingsParent[] = "Software\\Microsoft\\Windows\\CurrentVersion";
const char settingsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers";
const char cornersValue[] = "Mouse Corners";

enum { CornerTextCapacity = 5 };

void CloseWatch() {
  if (agentRun.watchedKey) RegCloseKey(agentRun.watchedKey);
  if (agentRun.watchedParent) RegCloseKey(agentRun.watchedParent);
  agentRun.watchedKey = nullptr;
  agentRun.watchedParent = nullptr;
}

}  // namespace

void ReadCornerCodes() {
  uint8_t codes[CornerCount] = {};
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, settingsKey, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
    // Four characters and their zero; a longer text does not fit and reads as default, as the
    // framework reads it.
    char text[CornerTextCapacity] = {};
    DWORD size = sizeof text;
    DWORD type = 0;
    LONG error =
        RegQueryValueExA(key, cornersValue, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    if (error == ERROR_SUCCESS && type == REG_SZ) morvane::DecodeCornerText(text, codes);
    RegCloseKey(key);
  }
  for (int i = 0; i < CornerCount; ++i) agentRun.codes[i] = codes[i];
  char shown[CornerTextCapacity];
  morvane::EncodeCornerText(codes, shown);
  Trace("corners read: %s", shown);
}

bool WatchSettings() {
  CloseWatch();
  if (!agentRun.keyEvent) agentRun.keyEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (!agentRun.keyEvent) return false;
  // Both signal the one event: the key for its values, its parent for the key being deleted or
  // made again (a watch on a deleted key never fires again).
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, settingsParent, 0, KEY_NOTIFY, &key) == ERROR_SUCCESS) {
    agentRun.watchedParent = key;
    RegNotifyChangeKeyValue(key, FALSE, REG_NOTIFY_CHANGE_NAME, agentRun.keyEvent, TRUE);
  }
  if (RegOpenKeyExA(HKEY_CURRENT_USER, settingsKey, 0, KEY_NOTIFY, &key) == ERROR_SUCCESS) {
    agentRun.watchedKey = key;
    RegNotifyChangeKeyValue(key, FALSE, REG_NOTIFY_CHANGE_LAST_SET | REG_NOTIFY_CHANGE_NAME,
                            agentRun.keyEvent, TRUE);
  } else {
    Trace("settings key missing: watching for it to be made");
  }
  if (!agentRun.watchedParent && !agentRun.watchedKey) {
    Trace("settings key cannot be watched");
    return false;
  }
  return true;
}

void OnSettingsKeyChanged() {
  // Watched first: a change between the read and a later watch would go unseen.
  WatchSettings();
  ReadCornerCodes();
}

void StopWatchingSettings() {
  CloseWatch();
  if (agentRun.keyEvent) CloseHandle(agentRun.keyEvent);
  agentRun.keyEvent = nullptr;
}

}  // namespace corners
