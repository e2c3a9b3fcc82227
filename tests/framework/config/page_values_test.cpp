// The General page's sensitivity entries and password delay, under the sanitizers.
#include "config/page_values.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace morvane;

namespace {

TEST(PageValues, SensitivityEntriesSplitAtTheLastComma) {
  const struct {
    const char* entry;
    const char* label;
    bool read;
    int32_t threshold;
  } cases[] = {
      {"High,0", "High", true, 0},
      {"Low, 400", "Low", true, 400},
      {"Keyboard only (ignore mouse movement),999999", "Keyboard only (ignore mouse movement)",
       true, 999999},
      {"Slow, and steady,0x20", "Slow, and steady", true, 32},
      {"No comma 12", "No comma 12", false, 0},
      {"Trailing,", "Trailing", false, 0},
      {"Words,many", "Words", false, 0},
      {",-7", "", true, -7},
      {"Huge,99999999999", "Huge", true, INT32_MAX},
  };
  for (const auto& c : cases) {
    // Held in a buffer of exactly its own size, so a read or write past the zero is caught.
    std::vector<char> entry(c.entry, c.entry + std::string(c.entry).size() + 1);
    int32_t threshold = 12345;
    EXPECT_EQ(c.read, ReadSensitivityThreshold(entry.data(), &threshold)) << c.entry;
    EXPECT_EQ(c.read ? c.threshold : 12345, threshold) << c.entry;
    CutSensitivityLabel(entry.data());
    EXPECT_STREQ(c.label, entry.data()) << c.entry;
  }
}

TEST(PageValues, TypedDelaysBecomeSecondsWithinTheSigned32BitRange) {
  const struct {
    const char* text;
    uint32_t unit;
    bool read;
    int32_t seconds;
  } cases[] = {
      {"2", DelayUnitMinutes, true, 120},
      {"60", DelayUnitSeconds, true, 60},
      {"0x10", DelayUnitSeconds, true, 16},
      {"010", DelayUnitSeconds, true, 8},
      {"  -5", DelayUnitSeconds, true, -5},
      {"150", DelayUnitSeconds, true, 150},
      {"35791394", DelayUnitMinutes, true, 2147483640},
      {"35791395", DelayUnitMinutes, true, INT32_MAX},
      {"-35791395", DelayUnitMinutes, true, INT32_MIN},
      {"99999999999", DelayUnitMinutes, true, INT32_MAX},
      {"12abc", DelayUnitMinutes, true, 720},
      {"", DelayUnitSeconds, false, 0},
      {" ", DelayUnitMinutes, false, 0},
      {"abc", DelayUnitSeconds, false, 0},
  };
  for (const auto& c : cases) {
    const int32_t current = 7;  // shown as "7" or "0": no text above spells it
    int32_t seconds = current;
    EXPECT_EQ(c.read, ReadTypedDelay(c.text, c.unit, c.unit, &seconds)) << '"' << c.text << '"';
    EXPECT_EQ(c.read ? c.seconds : current, seconds) << '"' << c.text << '"';
  }
}

TEST(PageValues, TheBoxReadBackAsItShowsTheDelayKeepsSecondsThatAreNotWholeMinutes) {
  const struct {
    const char* row;
    const char* text;
    uint32_t unit, shownUnit;
    int32_t current, seconds;
  } cases[] = {
      {"90 s shown as 1 min", "1", DelayUnitMinutes, DelayUnitMinutes, 90, 90},
      {"the saturated delay", "35791394", DelayUnitMinutes, DelayUnitMinutes, INT32_MAX, INT32_MAX},
      {"2 min typed over 90 s", "2", DelayUnitMinutes, DelayUnitMinutes, 90, 120},
      {"the unit switched to seconds", "1", DelayUnitSeconds, DelayUnitMinutes, 90, 1},
      {"the unit switched to minutes", "60", DelayUnitMinutes, DelayUnitSeconds, 60, 3600},
  };
  for (const auto& c : cases) {
    int32_t seconds = c.current;
    EXPECT_TRUE(ReadTypedDelay(c.text, c.unit, c.shownUnit, &seconds)) << c.row;
    EXPECT_EQ(c.seconds, seconds) << c.row;
  }
}

TEST(PageValues, AnEditedBoxIsReadAsTypedEvenWhereItSpellsTheStoredDelaysRounding) {
  const struct {
    const char* row;
    const char* text;
    uint32_t unit;
    bool read;
    int32_t current, seconds;
  } cases[] = {
      {"1 min retyped over 90 s", "1", DelayUnitMinutes, true, 90, 60},
      {"0 min retyped over 59 s", "0", DelayUnitMinutes, true, 59, 0},
      {"2 min over 90 s", "2", DelayUnitMinutes, true, 90, 120},
      {"seconds as they are", "90", DelayUnitSeconds, true, 7, 90},
      {"huge minutes held", "99999999", DelayUnitMinutes, true, 90, INT32_MAX},
      {"no number", " ", DelayUnitMinutes, false, 90, 90},
  };
  for (const auto& c : cases) {
    int32_t seconds = c.current;
    EXPECT_EQ(c.read, ReadEditedDelay(c.text, c.unit, &seconds)) << c.row;
    EXPECT_EQ(c.seconds, seconds) << c.row;
  }
}

TEST(PageValues, StoredDelaysShowAsWholeMinutesTruncatedTowardsZero) {
  EXPECT_EQ(1, DelayShownInUnit(90, DelayUnitMinutes));
  EXPECT_EQ(-1, DelayShownInUnit(-90, DelayUnitMinutes));
  EXPECT_EQ(0, DelayShownInUnit(59, DelayUnitMinutes));
  EXPECT_EQ(90, DelayShownInUnit(90, DelayUnitSeconds));
  EXPECT_EQ(INT32_MAX / 60, DelayShownInUnit(INT32_MAX, DelayUnitMinutes));
}

}  // namespace
