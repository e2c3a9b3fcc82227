#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "switches.h"

using namespace corners;

namespace {

Switches Parse(const std::string& text) {
  return ParseSwitches(text.data(), text.size());
}

TEST(Switches, EachSwitchInAnyCaseWithSlashOrDash) {
  struct Row {
    const char* text;
    Command command;
    uint32_t minutes;
  } rows[] = {
      {"", Command::Run, 0},
      {"   \t", Command::Run, 0},
      {"/start", Command::Run, 0},
      {"/now", Command::Now, 0},
      {"-NOW", Command::Now, 0},
      {" /Pause ", Command::Pause, 0},
      {"/pause 60", Command::Pause, 60},
      {"/pause\t1", Command::Pause, 1},
      {"/pause 10080", Command::Pause, 10080},
      {"/resume", Command::Resume, 0},
      {"/settings", Command::Settings, 0},
      {"/quit", Command::Quit, 0},
      {"/install", Command::Install, 0},
      {"/UNINSTALL", Command::Uninstall, 0},
      {"/corners:each", Command::Corners, 0},
      {"-Corners:DESKTOP", Command::Corners, 0},
      {"/gamepads:on", Command::Gamepads, 0},
      {"-GamePads:OFF", Command::Gamepads, 0},
  };
  for (const Row& row : rows) {
    Switches s = Parse(row.text);
    EXPECT_EQ(row.command, s.command) << row.text;
    EXPECT_EQ(row.minutes, s.pauseMinutes) << row.text;
  }
  EXPECT_EQ(morvane::CornerMode::Each, Parse("/CORNERS:Each").cornerMode);
  EXPECT_EQ(morvane::CornerMode::Desktop, Parse("/corners:desktop").cornerMode);
  EXPECT_TRUE(Parse("/Gamepads:On").gamepads);
  EXPECT_FALSE(Parse("/gamepads:off").gamepads);
}

TEST(Switches, AnythingElseIsInvalid) {
  for (const char* text : {"now",
                           "/",
                           "-",
                           "/no",
                           "/nowx",
                           "/now now",
                           "/pause 0",
                           "/pause 10081",
                           "/pause -5",
                           "/pause 1x",
                           "/pause 99999999999999999999",
                           "/pause 5 5",
                           "/quit 1",
                           "/s",
                           "//now",
                           "/install me",
                           "/resume 3",
                           "/corners",
                           "/corners:",
                           "/corners:eachx",
                           "/corners:ea",
                           "/corners each",
                           "/corners:each 1",
                           "/corners:all",
                           "/gamepads",
                           "/gamepads:",
                           "/gamepads:of",
                           "/gamepads:onn",
                           "/gamepads:1",
                           "/gamepads:on off"}) {
    EXPECT_EQ(Command::Invalid, Parse(text).command) << text;
  }
  EXPECT_EQ(Command::Invalid, ParseSwitches(nullptr, 10).command);
}

TEST(Switches, ReadsNoFurtherThanTheSizeGivenEvenWithoutAZero) {
  const char text[] = {'/', 'n', 'o', 'w', 'x'};
  EXPECT_EQ(Command::Now, ParseSwitches(text, 4).command);
  EXPECT_EQ(Command::Invalid, ParseSwitches(text, 5).command);
  const char pause[] = {'/', 'p', 'a', 'u', 's', 'e', ' ', '1', '2', '3'};
  Switches s = ParseSwitches(pause, 9);
  EXPECT_EQ(Command::Pause, s.command);
  EXPECT_EQ(12u, s.pauseMinutes);
  const char corners[] = {'/', 'c', 'o', 'r', 'n', 'e', 'r', 's', ':', 'e', 'a', 'c', 'h', 'x'};
  EXPECT_EQ(Command::Corners, ParseSwitches(corners, 13).command);
  EXPECT_EQ(Command::Invalid, ParseSwitches(corners, 14).command);
}

TEST(Switches, TheProgramNameIsSkippedQuotedOrNot) {
  EXPECT_STREQ(" /now", SkipProgramName("\"C:\\Program Files\\m\\morvanecorners.exe\" /now"));
  EXPECT_STREQ(" /pause 5", SkipProgramName("morvanecorners.exe /pause 5"));
  EXPECT_STREQ("", SkipProgramName("  morvanecorners.exe"));
  EXPECT_STREQ("", SkipProgramName("\"unterminated /now"));
  EXPECT_STREQ("", SkipProgramName(nullptr));
}

}  // namespace
