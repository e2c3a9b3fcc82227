#include <gtest/gtest.h>

#include <cstring>

#include "settings/saver_policy.h"

using namespace morvane;

namespace {

const StoredValue missing = {};

StoredValue Text(const char* text) {
  return {StoredKind::Text, 0, text, std::strlen(text) + 1};
}

StoredValue Number(uint32_t number) {
  return {StoredKind::Number, number, nullptr, 0};
}

TEST(SaverPolicy, EachPolicyValueWinsWhenPresentAndTheDefaultsAreTheSystems) {
  const StoredValue other = {StoredKind::Other, 0, nullptr, 0};
  const StoredValue tooLong = {StoredKind::TooLong, 0, nullptr, 0};
  struct Row {
    const char* name;
    StoredPair active, secure;
    bool saversActive, secure_;
  } rows[] = {
      {"nothing stored", {missing, missing}, {missing, missing}, true, false},
      {"user's text", {missing, Text("0")}, {missing, Text("1")}, false, true},
      {"user's numbers", {missing, Number(0)}, {missing, Number(1)}, false, true},
      {"policy on over user off", {Text("1"), Text("0")}, {Number(1), Number(0)}, true, true},
      {"policy off over user on", {Number(0), Number(1)}, {Text("0"), Text("1")}, false, false},
      {"policy off, no user value", {Text("0"), missing}, {Text("0"), missing}, false, false},
      // A value the policy holds in a form the system cannot read as a number still decides.
      {"policy unreadable", {other, Text("1")}, {tooLong, Text("1")}, false, false},
  };
  for (const Row& row : rows) {
    SaverPolicy policy = DecideSaverPolicy({row.active, {missing, missing}, row.secure});
    EXPECT_EQ(row.saversActive, policy.saversActive) << row.name;
    EXPECT_EQ(row.secure_, policy.secure) << row.name;
  }
}

TEST(SaverPolicy, ThePolicysSaverWinsWhateverItHolds) {
  const StoredValue user = Text("C:\\user.scr");
  const StoredValue forced = {StoredKind::ExpandText, 0, "%SystemRoot%\\forced.scr", 24};
  const StoredValue empty = Text("");
  struct Row {
    StoredPair saver;
    const StoredValue* chosen;
    bool fromPolicy;
  } rows[] = {
      {{missing, user}, &user, false},
      {{forced, user}, &forced, true},
      {{empty, user}, &empty, true},
      {{missing, missing}, &missing, false},
  };
  for (const Row& row : rows) {
    SaverPolicy policy = DecideSaverPolicy({{missing, missing}, row.saver, {missing, missing}});
    EXPECT_EQ(row.fromPolicy, policy.saverFromPolicy);
    EXPECT_EQ(row.chosen->kind, policy.saver.kind);
    EXPECT_EQ(row.chosen->text, policy.saver.text);
  }
}

TEST(SaverPolicy, SwitchTextsReadAsTheSystemReadsNumbers) {
  for (const char* on : {"1", " 1", "2", "+7", "-1", "01", "1x"}) EXPECT_TRUE(SwitchOn(Text(on)));
  for (const char* off : {"", "0", "00", "x1", "on", " ", "-0"}) EXPECT_FALSE(SwitchOn(Text(off)));
  // Only the bytes read count: "10" cut to one byte is "1", and "0" then a stray "1" is off.
  EXPECT_FALSE(SwitchOn({StoredKind::Text, 0, "01", 1}));
  EXPECT_TRUE(SwitchOn({StoredKind::Text, 0, "10", 1}));
  EXPECT_TRUE(SwitchOn({StoredKind::ExpandText, 0, "1", 1}));
  EXPECT_FALSE(SwitchOn({StoredKind::Text, 0, nullptr, 4}));
  EXPECT_TRUE(SwitchOn(Number(0x80000000u)));
  EXPECT_FALSE(SwitchOn({StoredKind::Other, 1, nullptr, 0}));
}

}  // namespace
