#include "settings_store.h"

#include <windows.h>

namespace {

int ReadSetting(HKEY key, const SaverSettingDecl& decl) {
  // One byte more than a 32-bit value needs, so a longer value is seen as too long rather
  // than cut to fit.
  unsigned char data[5] = {};
  DWORD size = sizeof data;
  DWORD type = REG_NONE;
  const LONG status = RegQueryValueExA(key, decl.valueName, nullptr, &type, data, &size);
  if (status != ERROR_SUCCESS) return decl.defaultValue;
  return DecodeSetting(decl, type, data, size);
}

}  // namespace

SaverSettings ReadSaverSettings() {
  SaverSettings settings = DefaultSaverSettings();
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, saverSettingsKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return settings;
  for (const SaverSettingDecl& decl : saverSettingDecls)
    settings.*decl.field = ReadSetting(key, decl);
  RegCloseKey(key);
  return settings;
}

bool WriteSaverSettings(const SaverSettings& settings) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, saverSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                      &key, nullptr) != ERROR_SUCCESS)
    return false;
  bool written = true;
  for (const SaverSettingDecl& decl : saverSettingDecls) {
    unsigned char data[4];
    EncodeSetting(decl, settings.*decl.field, data);
    written &=
        RegSetValueExA(key, decl.valueName, 0, REG_DWORD, data, sizeof data) == ERROR_SUCCESS;
  }
  RegCloseKey(key);
  return written;
}
