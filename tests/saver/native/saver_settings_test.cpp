// The saver's settings as the registry hands them over: only well-formed values count, and every
// value is held to its range.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "saver_settings.h"

namespace {

const SaverSettingDecl& Decl(const char* name) {
  for (const SaverSettingDecl& decl : saverSettingDecls) {
    if (std::strcmp(decl.valueName, name) == 0) return decl;
  }
  ADD_FAILURE() << "no setting " << name;
  return saverSettingDecls[0];
}

int Decode(const char* name, std::uint32_t type, std::uint32_t raw, std::size_t size = 4) {
  const unsigned char data[8] = {static_cast<unsigned char>(raw),
                                 static_cast<unsigned char>(raw >> 8),
                                 static_cast<unsigned char>(raw >> 16),
                                 static_cast<unsigned char>(raw >> 24),
                                 0,
                                 0,
                                 0,
                                 0};
  return DecodeSetting(Decl(name), type, data, size);
}

constexpr std::uint32_t RegSz = 1;
constexpr std::uint32_t RegBinary = 3;

TEST(SaverSettings, DefaultsAreTheDemosStartFullGlowAndEveryMonitor) {
  const SaverSettings settings = DefaultSaverSettings();
  EXPECT_EQ(settings.lights, 15);
  EXPECT_EQ(settings.glow, 100);
  EXPECT_EQ(settings.monitors, MonitorsEach);
  EXPECT_FLOAT_EQ(GlowScaleOf(settings), 1.0f);
  EXPECT_STREQ(saverSettingsKey, "Software\\Glimmerbox\\Screen Saver");
}

TEST(SaverSettings, DwordsAreClampedToTheirRanges) {
  struct Case {
    const char* name;
    std::uint32_t raw;
    int expected;
  };
  const Case cases[] = {
      {"Lights", 1, 1},           {"Lights", 50, 50},           {"Lights", 0, 1},
      {"Lights", 51, 50},         {"Lights", 27, 27},           {"Lights", 0xFFFFFFFFu, 1},
      {"Lights", 0x80000000u, 1}, {"Lights", 0x7FFFFFFFu, 50},  {"Glow", 0, 0},
      {"Glow", 200, 200},         {"Glow", 201, 200},           {"Glow", 0xFFFFFF9Cu, 0},
      {"Glow", 35, 35},           {"Monitors", 0, 0},           {"Monitors", 1, 1},
      {"Monitors", 2, 1},         {"Monitors", 0xFFFFFFFFu, 0}, {"Monitors", 0x80000001u, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Decode(c.name, RegistryDword, c.raw), c.expected) << c.name << " " << c.raw;
}

TEST(SaverSettings, OtherTypesLengthsAndMissingDataGiveTheDefault) {
  EXPECT_EQ(Decode("Lights", RegSz, 0x3533), 15);  // "35" as text
  EXPECT_EQ(Decode("Lights", RegBinary, 30), 15);
  EXPECT_EQ(Decode("Lights", RegistryDword, 30, 2), 15);
  EXPECT_EQ(Decode("Lights", RegistryDword, 30, 5), 15);
  EXPECT_EQ(Decode("Lights", RegistryDword, 30, 0), 15);
  EXPECT_EQ(Decode("Glow", RegistryDword, 30, 3), 100);
  EXPECT_EQ(DecodeSetting(Decl("Glow"), RegistryDword, nullptr, 4), 100);
  // "Primary monitor only" written by hand as text or as eight bytes is no setting either.
  EXPECT_EQ(Decode("Monitors", RegSz, 0x30), MonitorsEach);
  EXPECT_EQ(Decode("Monitors", RegistryDword, 0, 8), MonitorsEach);
  EXPECT_EQ(Decode("Monitors", RegBinary, 0, 4), MonitorsEach);
  EXPECT_EQ(DecodeSetting(Decl("Monitors"), RegistryDword, nullptr, 4), MonitorsEach);
}

TEST(SaverSettings, EncodingStoresTheClampedValueLittleEndian) {
  unsigned char out[4];
  EncodeSetting(Decl("Lights"), 42, out);
  EXPECT_EQ(Decode("Lights", RegistryDword, 42), 42);
  EXPECT_EQ(out[0], 42);
  EXPECT_EQ(out[1] | out[2] | out[3], 0);
  EncodeSetting(Decl("Lights"), 500, out);
  EXPECT_EQ(DecodeSetting(Decl("Lights"), RegistryDword, out, 4), 50);
  EncodeSetting(Decl("Glow"), -3, out);
  EXPECT_EQ(DecodeSetting(Decl("Glow"), RegistryDword, out, 4), 0);
  EncodeSetting(Decl("Glow"), 150, out);
  EXPECT_EQ(out[0], 150);
  EncodeSetting(Decl("Monitors"), MonitorsPrimary, out);
  EXPECT_EQ(out[0] | out[1] | out[2] | out[3], 0);
  EncodeSetting(Decl("Monitors"), 7, out);
  EXPECT_EQ(DecodeSetting(Decl("Monitors"), RegistryDword, out, 4), MonitorsEach);
}

TEST(SaverSettings, EveryValueHasItsOwnNameAndField) {
  for (int i = 0; i < SaverSettingCount; ++i) {
    for (int j = i + 1; j < SaverSettingCount; ++j) {
      EXPECT_STRNE(saverSettingDecls[i].valueName, saverSettingDecls[j].valueName);
      EXPECT_NE(saverSettingDecls[i].field, saverSettingDecls[j].field) << i << " " << j;
    }
    const SaverSettingDecl& decl = saverSettingDecls[i];
    EXPECT_LE(decl.minimum, decl.defaultValue) << decl.valueName;
    EXPECT_LE(decl.defaultValue, decl.maximum) << decl.valueName;
  }
  EXPECT_EQ(Decl("Monitors").minimum, MonitorsPrimary);
  EXPECT_EQ(Decl("Monitors").maximum, MonitorsEach);
}

TEST(SaverSettings, GlowScalesThePatchesInPercent) {
  SaverSettings settings = DefaultSaverSettings();
  settings.glow = 0;
  EXPECT_FLOAT_EQ(GlowScaleOf(settings), 0.0f);
  settings.glow = 200;
  EXPECT_FLOAT_EQ(GlowScaleOf(settings), 2.0f);
  settings.glow = 50;
  EXPECT_FLOAT_EQ(GlowScaleOf(settings), 0.5f);
}

// The frame rate is a choice of three: a number between them or beyond them is no choice at all,
// so it reads as the default ("Match the display") rather than as the nearest; 30 and 60 stored by
// earlier versions keep their meaning.
TEST(SaverSettings, FrameRateIsTheDisplaysThirtyOrSixtyAndAnythingElseReadsAsTheDisplays) {
  EXPECT_EQ(DefaultSaverSettings().frameRate, FrameRateOfDisplay);
  struct Case {
    std::uint32_t raw;
    int expected;
  };
  const Case cases[] = {{30, 30},  {60, 60}, {0, 0},           {45, 0},         {31, 0},
                        {29, 0},   {120, 0}, {0xFFFFFFFFu, 0}, {59, 0},         {61, 0},
                        {1000, 0}, {1, 0},   {0x8000001Eu, 0}, {0x1000001Eu, 0}};
  for (const Case& c : cases)
    EXPECT_EQ(Decode("FrameRate", RegistryDword, c.raw), c.expected) << c.raw;
  EXPECT_EQ(Decode("FrameRate", RegSz, 30), 0);
  EXPECT_EQ(Decode("FrameRate", RegistryDword, 30, 8), 0);
  unsigned char out[4];
  for (int rate : {30, 60, FrameRateOfDisplay}) {
    EncodeSetting(Decl("FrameRate"), rate, out);
    EXPECT_EQ(DecodeSetting(Decl("FrameRate"), RegistryDword, out, 4), rate);
  }
  EncodeSetting(Decl("FrameRate"), 40, out);
  EXPECT_EQ(DecodeSetting(Decl("FrameRate"), RegistryDword, out, 4), 0);
  // The page's choice goes through the same rule as the registry's value.
  EXPECT_EQ(ClampSetting(Decl("FrameRate"), 30), 30);
  EXPECT_EQ(ClampSetting(Decl("FrameRate"), 50), 0);
  EXPECT_EQ(ClampSetting(Decl("FrameRate"), -30), 0);
}

TEST(SaverSettings, ShowFrameRateIsOffAtFirstAndHeldToOnOrOff) {
  EXPECT_EQ(DefaultSaverSettings().showFrameRate, 0);
  EXPECT_EQ(Decode("ShowFrameRate", RegistryDword, 0), 0);
  EXPECT_EQ(Decode("ShowFrameRate", RegistryDword, 1), 1);
  EXPECT_EQ(Decode("ShowFrameRate", RegistryDword, 5), 1);
  EXPECT_EQ(Decode("ShowFrameRate", RegistryDword, 0xFFFFFFFFu), 0);
  EXPECT_EQ(Decode("ShowFrameRate", RegSz, 1), 0);
  EXPECT_EQ(Decode("ShowFrameRate", RegistryDword, 1, 2), 0);
}

// The tick period runs from the start of one tick to the next, so it is the whole frame's time; the
// display's rate has none of its own (0: the framework paces it).
TEST(SaverSettings, TheTickPeriodFollowsTheChosenRate) {
  SaverSettings settings = DefaultSaverSettings();
  EXPECT_EQ(TickPeriodMsOf(settings), 0);
  settings.frameRate = 30;
  EXPECT_EQ(TickPeriodMsOf(settings), 33);
  settings.frameRate = 60;
  EXPECT_EQ(TickPeriodMsOf(settings), 16);
  // A rate that never came through the table is the display's.
  settings.frameRate = -5;
  EXPECT_EQ(TickPeriodMsOf(settings), 0);
}

}  // namespace
