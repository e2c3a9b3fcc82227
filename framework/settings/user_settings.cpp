#include "settings/user_settings.h"

#include "core/library.h"
#include "settings/prefs.h"
#include "settings/registry_number.h"
#include "core/resource_ids.h"
#include "settings/settings_codec.h"
#include "core/trace.h"

#include <cstddef>
#include <cstring>
#include <type_traits>

namespace morvane {

namespace {

enum class SettingKind { Number, Corners };
// None: taken as stored. StoredValue: a value read above the maximum becomes the maximum.
// Field: the field is held to the maximum after every attempt to read it, read or not.
enum class SettingClamp { None, StoredValue, Field };
enum class SettingGate { Always, OfferMuteSound, AllowActiveConfig };

// One registry value: its name string, the field of a SettingValues it fills, its default, its
// clamp and the preference that gates it.
struct SettingValue {
  UINT nameId;
  SettingKind kind;
  size_t field;
  uint32_t defaultValue;
  SettingClamp clamp;
  uint32_t clampMax;
  SettingGate gate;
};

// Every field is read, written and compared as four bytes, whatever its type.
template <size_t Size>
constexpr size_t FourByteField(size_t offset) {
  static_assert(Size == 4, "a setting field is four bytes");
  return offset;
}

#define SETTING_FIELD(name) \
  FourByteField<sizeof(SettingValues::name)>(offsetof(SettingValues, name))

const SettingValue settingValues[] = {
    {IDS_PASSWORD_DELAY, SettingKind::Number, SETTING_FIELD(passwordDelay), 60, SettingClamp::None,
     0, SettingGate::Always},
    {IDS_PASSWORD_DELAY_INDEX, SettingKind::Number, SETTING_FIELD(passwordDelayIndex), 0,
     SettingClamp::StoredValue, 1, SettingGate::Always},
    {IDS_MOUSE_THRESHOLD, SettingKind::Number, SETTING_FIELD(mouseThreshold), 0, SettingClamp::None,
     0, SettingGate::Always},
    {IDS_MOUSE_THRESHOLD_INDEX, SettingKind::Number, SETTING_FIELD(mouseThresholdIndex), 0,
     SettingClamp::Field, 3, SettingGate::Always},
    {IDS_MOUSE_CORNERS, SettingKind::Corners, SETTING_FIELD(corners), 0, SettingClamp::None, 0,
     SettingGate::Always},
    {IDS_MUTE_SOUND, SettingKind::Number, SETTING_FIELD(muteSound), 0, SettingClamp::None, 0,
     SettingGate::OfferMuteSound},
    {IDS_ACTIVE_CONFIG, SettingKind::Number, SETTING_FIELD(activeConfig), 0, SettingClamp::None, 0,
     SettingGate::AllowActiveConfig},
};

static_assert(std::is_standard_layout<SettingValues>::value, "fields are reached by offset");

enum { CornerTextCapacity = 5 };

unsigned char* FieldBytes(SettingValues& values, size_t offset) {
  return reinterpret_cast<unsigned char*>(&values) + offset;
}

uint32_t FieldValue(const SettingValues& values, size_t offset) {
  uint32_t value;
  std::memcpy(&value, reinterpret_cast<const unsigned char*>(&values) + offset, sizeof value);
  return value;
}

void SetFieldValue(SettingValues& values, size_t offset, uint32_t value) {
  std::memcpy(FieldBytes(values, offset), &value, sizeof value);
}

bool GateOpen(SettingGate gate) {
  switch (gate) {
    case SettingGate::OfferMuteSound: return currentPrefs.offerMuteSound != 0;
    case SettingGate::AllowActiveConfig: return currentPrefs.allowActiveConfig != 0;
    default: return true;
  }
}

// Reads the corner text: four characters and a zero at most, missing characters read as code 0.
bool QueryCorners(HKEY key, const char* name, unsigned char* corners) {
  char data[CornerTextCapacity] = {};
  DWORD size = sizeof data;
  if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size) !=
      ERROR_SUCCESS) {
    return false;
  }
  DecodeCornerText(data, corners);
  return true;
}

void ReadSettingValue(HKEY key, const SettingValue& value, SettingValues& values) {
  char name[NameCapacity];
  if (!LoadFrameworkString(value.nameId, name, sizeof name)) return;
  if (value.kind == SettingKind::Corners) {
    QueryCorners(key, name, FieldBytes(values, value.field));
    return;
  }
  uint32_t stored;
  if (!QueryRegistryNumber(key, name, &stored)) return;
  if (value.clamp == SettingClamp::StoredValue) stored = ClampSettingIndex(stored, value.clampMax);
  SetFieldValue(values, value.field, stored);
}

void WriteSettingValue(HKEY key, const SettingValue& value, SettingValues& values) {
  char name[NameCapacity];
  if (!LoadFrameworkString(value.nameId, name, sizeof name)) return;
  if (value.kind == SettingKind::Corners) {
    char text[CornerTextCapacity];
    EncodeCornerText(FieldBytes(values, value.field), text);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text);
    return;
  }
  DWORD number = FieldValue(values, value.field);
  RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
}

}  // namespace

bool SameValues(const SettingValues& a, const SettingValues& b) {
  for (const SettingValue& value : settingValues) {
    if (FieldValue(a, value.field) != FieldValue(b, value.field)) return false;
  }
  return true;
}

UserSettings::UserSettings() {
  for (const SettingValue& value : settingValues) {
    SetFieldValue(current, value.field, value.defaultValue);
  }
  ReadRegistry();
  Remember();
}

void UserSettings::ReadRegistry() {
  char keyName[NameCapacity];
  if (!LoadFrameworkString(IDS_SETTINGS_KEY, keyName, sizeof keyName)) return;
  HKEY key;
  // Read access only: a key the user may read but not write still gives its settings.
  if (RegOpenKeyExA(HKEY_CURRENT_USER, keyName, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  for (const SettingValue& value : settingValues) {
    if (GateOpen(value.gate)) ReadSettingValue(key, value, current);
    if (value.clamp == SettingClamp::Field) {
      SetFieldValue(current, value.field,
                    ClampSettingIndex(FieldValue(current, value.field), value.clampMax));
    }
  }
  RegCloseKey(key);
}

LONG UserSettings::WriteRegistry() {
  Trace("Morvane: GeneralDialog: WriteRegistry.");
  char keyName[NameCapacity];
  if (!LoadFrameworkString(IDS_SETTINGS_KEY, keyName, sizeof keyName)) return 0;
  HKEY key;
  LONG error = RegCreateKeyExA(HKEY_CURRENT_USER, keyName, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                               &key, nullptr);
  if (error != ERROR_SUCCESS) return error;
  for (const SettingValue& value : settingValues) {
    if (GateOpen(value.gate)) WriteSettingValue(key, value, current);
  }
  return RegCloseKey(key);
}

void UserSettings::Remember() {
  remembered = current;
}

bool UserSettings::MatchesRemembered() const {
  return SameValues(current, remembered);
}

void UserSettings::RestoreRemembered() {
  current = remembered;
}

}  // namespace morvane
