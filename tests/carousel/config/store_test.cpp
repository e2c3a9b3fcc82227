// Carousel's settings in the registry: what scripts and damage may leave there reads safely.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config_support.h"
#include "settings_store.h"

using namespace carousel;

namespace {

class CarouselStore : public ::testing::Test {
 protected:
  void SetUp() override { RemoveCarouselKey(); }
  void TearDown() override { RemoveCarouselKey(); }
};

std::string Dword(uint32_t value) {
  return std::string(reinterpret_cast<char*>(&value), 4);
}

// The decoding itself is tested natively; here, that each value reaches it with its type and size.
TEST_F(CarouselStore, EachValueReadsAsStoredOrAsItsDefault) {
  const char* defaults = "savers= monitors=each order=list cycle=600";
  const struct {
    const char* name;
    DWORD type;
    std::string bytes;
    const char* settings;
  } cases[] = {
      {"Savers", REG_MULTI_SZ, std::string("a\0bc", 4),
       "savers=a|bc monitors=each order=list cycle=600"},
      {"Savers", REG_DWORD, Dword(7), defaults},
      {"Monitors", REG_SZ, "Same", "savers= monitors=same order=list cycle=600"},
      {"Order", REG_MULTI_SZ, std::string("random\0\0", 8), defaults},
      {"Cycle", REG_DWORD, Dword(0xFFFFFFFFu), "savers= monitors=each order=list cycle=604800"},
      {"Cycle", REG_QWORD, Dword(300) + Dword(0), defaults},
  };
  for (const auto& c : cases) {
    RemoveCarouselKey();
    SetRawValue(c.name, c.type, c.bytes);
    EXPECT_EQ(c.settings, DescribeSettings(ReadSettings())) << c.name << " " << c.type;
  }
}

// A list of savers too large to be one is not read; the values beside it still are.
TEST_F(CarouselStore, AHugeListIsLeftUnreadAndTheOtherValuesStillCount) {
  std::string huge(3u << 20, 'x');
  huge += std::string("\0\0", 2);
  SetRawValue("Savers", REG_MULTI_SZ, huge);
  SetRawValue("Order", REG_SZ, std::string("random\0", 7));
  EXPECT_EQ("savers= monitors=each order=random cycle=600", DescribeSettings(ReadSettings()));
}

TEST_F(CarouselStore, WrittenSettingsReadBackAndScriptsSeeTheDocumentedTypes) {
  Settings settings;
  settings.savers = {"C:\\windows\\system32\\a.scr", "D:\\Old savers\\b.scr"};
  settings.monitors = MonitorChoice::Same;
  settings.order = OrderChoice::Random;
  settings.cycleSeconds = 3;  // stored as the 10 it counts as
  ASSERT_TRUE(WriteSettings(settings));
  EXPECT_EQ(
      "savers=C:\\windows\\system32\\a.scr|D:\\Old savers\\b.scr monitors=same order=random "
      "cycle=10",
      DescribeSettings(ReadSettings()));
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, settingsKey, 0, KEY_QUERY_VALUE, &key));
  const struct {
    const char* name;
    DWORD type;
    DWORD size;
  } values[] = {{"Savers", REG_MULTI_SZ, 26 + 20 + 1},
                {"Monitors", REG_SZ, 5},
                {"Order", REG_SZ, 7},
                {"Cycle", REG_DWORD, 4}};
  for (const auto& v : values) {
    DWORD type = 0, size = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, v.name, nullptr, &type, nullptr, &size));
    EXPECT_EQ(v.type, type) << v.name;
    EXPECT_EQ(v.size, size) << v.name;
  }
  RegCloseKey(key);
}

}  // namespace
