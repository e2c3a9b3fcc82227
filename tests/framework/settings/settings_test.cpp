// The user's settings in the real registry: defaults, clamps, the corner text, the gates, data of
// the wrong type or length, a read-only key, and what WriteRegistry leaves behind.
#include "settings/user_settings.h"
#include "morvane.h"

#include <sddl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace morvane;

namespace {

const char settingsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers";

struct Stored {
  const char* name;
  DWORD type;
  std::string data;
};

std::string Dword(uint32_t value) {
  return std::string(reinterpret_cast<const char*>(&value), 4);
}

std::string Text(const char* text) {  // with its zero, as REG_SZ data is kept
  return std::string(text, std::strlen(text) + 1);
}

void Store(const std::vector<Stored>& values) {
  HKEY key;
  ASSERT_EQ(0, RegCreateKeyExA(HKEY_CURRENT_USER, settingsKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                               nullptr, &key, nullptr));
  for (const Stored& v : values) {
    RegSetValueExA(key, v.name, 0, v.type, reinterpret_cast<const BYTE*>(v.data.data()),
                   DWORD(v.data.size()));
  }
  RegCloseKey(key);
}

Stored Load(const char* name) {  // type REG_NONE when missing
  Stored value{name, REG_NONE, std::string(64, '\0')};
  DWORD size = 64;
  if (RegGetValueA(HKEY_CURRENT_USER, settingsKey, name, RRF_RT_ANY, &value.type, &value.data[0],
                   &size) != ERROR_SUCCESS) {
    value.type = REG_NONE;
    size = 0;
  }
  value.data.resize(size);
  return value;
}

// Replaces the key's access list, in security descriptor language ("KR" read, "KA" all).
void SetKeyAccess(const char* descriptor) {
  PSECURITY_DESCRIPTOR security = nullptr;
  ConvertStringSecurityDescriptorToSecurityDescriptorA(descriptor, SDDL_REVISION_1, &security,
                                                       nullptr);
  HKEY key;
  ASSERT_EQ(0, RegOpenKeyExA(HKEY_CURRENT_USER, settingsKey, 0, WRITE_DAC, &key));
  EXPECT_EQ(0, RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, security));
  RegCloseKey(key);
  LocalFree(security);
}

void SetGates(int offerMuteSound, int allowActiveConfig) {
  ScrPrefs* prefs = ScrGetPrefs();
  prefs->offerMuteSound = offerMuteSound;
  prefs->allowActiveConfig = allowActiveConfig;
  ScrSetPrefs(prefs);
}

// Corners, then mute, threshold, threshold index, delay, delay index, active configuration.
struct Expected {
  uint8_t corners[4];
  int values[6];
};

void ExpectSettings(const Expected& e, const UserSettings& settings, const char* what) {
  const SettingValues& d = settings.current;
  EXPECT_EQ(0, std::memcmp(e.corners, d.corners, 4)) << what;
  const int actual[6] = {d.muteSound,     d.mouseThreshold,          int(d.mouseThresholdIndex),
                         d.passwordDelay, int(d.passwordDelayIndex), d.activeConfig};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(e.values[i], actual[i]) << what << " value " << i;
}

const Expected defaults = {{0, 0, 0, 0}, {0, 0, 0, 60, 0, 0}};

class SettingsStore : public testing::Test {
 protected:
  void SetUp() override { Reset(); }
  void TearDown() override { Reset(); }
  static void Reset() {
    RegDeleteTreeA(HKEY_CURRENT_USER, settingsKey);
    SetGates(1, 0);
  }
};

TEST_F(SettingsStore, ReadingFollowsTheValueTable) {
  const std::vector<Stored> all = {
      {"Password Delay", REG_DWORD, Dword(300)},  {"Password Delay Index", REG_DWORD, Dword(1)},
      {"Mouse Threshold", REG_DWORD, Dword(200)}, {"Mouse Threshold Index", REG_DWORD, Dword(1)},
      {"Mouse Corners", REG_SZ, Text("NY-N")},    {"Mute Sound", REG_DWORD, Dword(1)},
      {"Active Config", REG_DWORD, Dword(1)}};
  struct Case {
    const char* what;
    std::vector<Stored> stored;
    int gates;  // offerMuteSound and allowActiveConfig
    Expected expected;
  } cases[] = {
      {"fresh user", {}, 1, defaults},
      {"every value", all, 1, {{2, 1, 0, 2}, {1, 200, 1, 300, 1, 1}}},
      {"gates closed", all, 0, {{2, 1, 0, 2}, {0, 200, 1, 300, 1, 0}}},
      {"YN-x", {{"Mouse Corners", REG_SZ, Text("YN-x")}}, 1, {{1, 2, 0, 0}, {0, 0, 0, 60, 0, 0}}},
      {"YN-xz is too long", {{"Mouse Corners", REG_SZ, Text("YN-xz")}}, 1, defaults},
      {"short YN", {{"Mouse Corners", REG_SZ, Text("YN")}}, 1, {{1, 2, 0, 0}, {0, 0, 0, 60, 0, 0}}},
      {"binary, no zero",
       {{"Mouse Corners", REG_BINARY, "NNYY"}},
       1,
       {{2, 2, 1, 1}, {0, 0, 0, 60, 0, 0}}},
      {"index clamps",
       {{"Password Delay Index", REG_DWORD, Dword(7)},
        {"Mouse Threshold Index", REG_DWORD, Dword(0xFFFFFFFF)}},
       1,
       {{0, 0, 0, 0}, {0, 0, 3, 60, 1, 0}}},
      {"numbers as text",
       {{"Password Delay", REG_SZ, Text("90")},
        {"Mouse Threshold", REG_SZ, Text("0x10")},
        {"Mouse Threshold Index", REG_SZ, Text("-1")}},
       1,
       {{0, 0, 0, 0}, {0, 16, 3, 90, 0, 0}}},
      {"text without a number", {{"Password Delay", REG_SZ, Text("abc")}}, 1, defaults},
      {"two bytes",
       {{"Password Delay", REG_BINARY, std::string("\x2C\x01", 2)}},
       1,
       {{0, 0, 0, 0}, {0, 0, 0, 300, 0, 0}}},
      {"eight bytes", {{"Password Delay", REG_QWORD, Dword(5) + Dword(0)}}, 1, defaults},
      {"negative delay",
       {{"Password Delay", REG_DWORD, Dword(0xFFFFFFFF)}},
       1,
       {{0, 0, 0, 0}, {0, 0, 0, -1, 0, 0}}},
  };
  for (const Case& c : cases) {
    Reset();
    Store(c.stored);
    SetGates(c.gates, c.gates);
    UserSettings settings;
    ExpectSettings(c.expected, settings, c.what);
  }
}

TEST_F(SettingsStore, UnreadValuesKeepTheFieldsAndTheThresholdIndexIsAlwaysClamped) {
  Store({{"Mouse Corners", REG_SZ, Text("YN-xz")}, {"Password Delay", REG_SZ, Text("none")}});
  UserSettings settings;
  std::memset(settings.current.corners, 2, 4);
  settings.current.passwordDelay = 77;
  settings.current.mouseThresholdIndex = 9;
  settings.ReadRegistry();
  ExpectSettings({{2, 2, 2, 2}, {0, 0, 3, 77, 0, 0}}, settings, "after a second read");
}

TEST_F(SettingsStore, KeyTheUserMayOnlyReadIsStillRead) {
  Store({{"Password Delay", REG_DWORD, Dword(45)}});
  SetKeyAccess("D:P(A;;KR;;;WD)");
  UserSettings settings;
  EXPECT_EQ(45, settings.current.passwordDelay);
  EXPECT_EQ(ERROR_ACCESS_DENIED, settings.WriteRegistry());
  SetKeyAccess("D:P(A;;KA;;;WD)");
}

TEST_F(SettingsStore, FreshUserIsWrittenBackAsDefaults) {
  EXPECT_EQ(0, UserSettings().WriteRegistry());
  const Stored expected[] = {
      {"Password Delay", REG_DWORD, Dword(60)}, {"Password Delay Index", REG_DWORD, Dword(0)},
      {"Mouse Threshold", REG_DWORD, Dword(0)}, {"Mouse Threshold Index", REG_DWORD, Dword(0)},
      {"Mouse Corners", REG_SZ, Text("----")},  {"Mute Sound", REG_DWORD, Dword(0)},
      {"Active Config", REG_NONE, ""}};  // allowActiveConfig is off
  for (const Stored& e : expected) {
    Stored stored = Load(e.name);
    EXPECT_EQ(e.type, stored.type) << e.name;
    EXPECT_EQ(e.data, stored.data) << e.name;
  }
}

TEST_F(SettingsStore, MuteWithoutTheOfferIsReportedOffAndLeftAlone) {
  Store({{"Mute Sound", REG_DWORD, Dword(1)}});
  SetGates(0, 0);
  ScrSettings settings = {};
  ScrGetSettings(&settings);
  EXPECT_EQ(0, settings.muteSound);
  EXPECT_EQ(0, UserSettings().WriteRegistry());
  EXPECT_EQ(Dword(1), Load("Mute Sound").data);
}

TEST_F(SettingsStore, RoundTripThroughWriteRegistryReadRegistryAndScrGetSettings) {
  SetGates(1, 1);
  UserSettings written;
  const Expected chosen = {{2, 1, 0, 2}, {1, 400, 2, 120, 1, 1}};
  std::memcpy(written.current.corners, chosen.corners, 4);
  written.current.muteSound = 1;
  written.current.mouseThreshold = 400;
  written.current.mouseThresholdIndex = 2;
  written.current.passwordDelay = 120;
  written.current.passwordDelayIndex = 1;
  written.current.activeConfig = 1;
  EXPECT_EQ(0, written.WriteRegistry());
  UserSettings read;
  ExpectSettings(chosen, read, "read back");
  EXPECT_EQ(read.current.passwordDelay, read.remembered.passwordDelay);
  EXPECT_EQ(0, std::memcmp(read.current.corners, read.remembered.corners, 4));

  ScrSettings settings = {};
  settings.size = 0x1234;  // left as the caller set it
  ScrGetSettings(&settings);
  const int summary[] = {settings.size, settings.muteSound, settings.mouseThreshold,
                         settings.passwordDelay, settings.activeConfig};
  const int expected[] = {0x1234, 1, 400, 120, 1};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(expected[i], summary[i]) << i;
  EXPECT_EQ(0, std::memcmp(chosen.corners, settings.corners, 4));
  ScrGetSettings(nullptr);
}

}  // namespace
