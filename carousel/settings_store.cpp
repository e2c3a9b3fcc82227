#include "settings_store.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "trace.h"

namespace carousel {

const char settingsKey[] = "Software\\Morvane\\Carousel";
const char previewSettingsKey[] = "Software\\Morvane\\Carousel\\Preview";
const char previewEnvironment[] = "MORVANE_CAROUSEL_PREVIEW";

namespace {

// More than any list of savers a person keeps (some thousands of paths); a larger value is
// no list but damage, and is not read into memory.
constexpr DWORD LongestValue = 1u << 20;

struct RawValue {
  DWORD type = REG_NONE;
  std::string bytes;
};

// The value's type and bytes, or false when it is missing or too large (traced).
bool QueryValue(HKEY key, const char* name, RawValue* value) {
  DWORD size = 0;
  LONG status = RegQueryValueExA(key, name, nullptr, &value->type, nullptr, &size);
  if (status == ERROR_FILE_NOT_FOUND) return false;
  if (status != ERROR_SUCCESS || size > LongestValue) {
    if (status != ERROR_SUCCESS) {
      Trace("\"%s\" unreadable (error %ld): the default instead", name, status);
    } else {
      Trace("\"%s\" unreadable (%lu bytes): the default instead", name, size);
    }
    return false;
  }
  // A value that grows between the two calls is read again at its new size.
  for (int attempt = 0; attempt < 3; ++attempt) {
    value->bytes.assign(size, '\0');
    DWORD read = size;
    status = RegQueryValueExA(key, name, nullptr, &value->type,
                              reinterpret_cast<BYTE*>(&value->bytes[0]), &read);
    if (status == ERROR_SUCCESS) {
      value->bytes.resize(read < size ? read : size);
      return true;
    }
    if (status != ERROR_MORE_DATA || read > LongestValue) break;
    size = read;
  }
  Trace("\"%s\" unreadable: the default instead", name);
  return false;
}

void TraceMalformed(const char* name, const std::string& why) {
  Trace("\"%s\" %s: the default instead", name, why.c_str());
}

void ReadValues(HKEY key, Settings* settings) {
  RawValue value;
  std::string why;
  if (QueryValue(key, "Savers", &value) &&
      !DecodeSavers(value.type, value.bytes.data(), value.bytes.size(), &settings->savers, &why))
    TraceMalformed("Savers", why);
  if (QueryValue(key, "Monitors", &value) &&
      !DecodeMonitors(value.type, value.bytes.data(), value.bytes.size(), &settings->monitors,
                      &why))
    TraceMalformed("Monitors", why);
  if (QueryValue(key, "Order", &value) &&
      !DecodeOrder(value.type, value.bytes.data(), value.bytes.size(), &settings->order, &why))
    TraceMalformed("Order", why);
  if (QueryValue(key, "Cycle", &value) &&
      !DecodeCycle(value.type, reinterpret_cast<const unsigned char*>(value.bytes.data()),
                   value.bytes.size(), &settings->cycleSeconds, &why))
    TraceMalformed("Cycle", why);
}

bool SetText(HKEY key, const char* name, DWORD type, const std::string& bytes) {
  return RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                        static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

bool WriteValues(const char* keyName, const Settings& settings) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, keyName, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    Trace("cannot create HKCU\\%s", keyName);
    return false;
  }
  const DWORD cycle = NormalizeCycle(settings.cycleSeconds);
  bool written = SetText(key, "Savers", REG_MULTI_SZ, JoinMultiString(settings.savers));
  written &=
      SetText(key, "Monitors", REG_SZ, std::string(MonitorChoiceText(settings.monitors)) + '\0');
  written &= SetText(key, "Order", REG_SZ, std::string(OrderChoiceText(settings.order)) + '\0');
  written &= RegSetValueExA(key, "Cycle", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&cycle),
                            sizeof cycle) == ERROR_SUCCESS;
  RegCloseKey(key);
  if (!written) Trace("cannot write every value under HKCU\\%s", keyName);
  return written;
}

bool IsPreviewRun() {
  char flag[8] = {};
  const DWORD length = GetEnvironmentVariableA(previewEnvironment, flag, sizeof flag);
  return length > 0 && length < sizeof flag && std::strcmp(flag, "1") == 0;
}

}  // namespace

Settings ReadSettingsFrom(const char* keyName) {
  Settings settings;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, keyName, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return settings;
  ReadValues(key, &settings);
  RegCloseKey(key);
  return settings;
}

Settings ReadSettings() {
  return ReadSettingsFrom(IsPreviewRun() ? previewSettingsKey : settingsKey);
}

bool WriteSettings(const Settings& settings) {
  return WriteValues(settingsKey, settings);
}

bool WritePreviewSettings(const Settings& settings) {
  return WriteValues(previewSettingsKey, settings);
}

}  // namespace carousel
