// The screen-saver command line as pure text, the companion's name after the preview switch, and
// the password delay, under the sanitizers.
#include "run/command_line.h"
#include "password/password_delay.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace morvane;

namespace {

using A = SaverAction;

struct LineCase {
  const char* line;
  SaverAction action;
  bool overForeground;
  bool hasNumber;
  int32_t number;
};

TEST(CommandLine, SwitchesQuotingAndWindowNumbers) {
  const LineCase cases[] = {
      // No switch: configuration without a parent; every row of the switch table, either case.
      {"saver.scr", A::Configure, false, false, 0},
      {"saver.scr    ", A::Configure, false, false, 0},
      {"saver.scr /s", A::FullScreen, false, false, 0},
      {"saver.scr /S", A::FullScreen, false, false, 0},
      {"saver.scr s", A::FullScreen, false, false, 0},
      {"saver.scr -s", A::FullScreen, false, false, 0},
      {"saver.scr -/s", A::FullScreen, false, false, 0},
      {"saver.scr /-s", A::Refuse, false, false, 0},
      {"saver.scr //s", A::Refuse, false, false, 0},
      {"saver.scr /x", A::Refuse, false, false, 0},
      {"saver.scr /", A::Refuse, false, false, 0},
      {"saver.scr /c", A::Configure, true, false, 0},
      {"saver.scr C", A::Configure, true, false, 0},
      {"saver.scr /c:1234", A::Configure, true, false, 0},
      // Program names: quoted with spaces, the switch after a space or right after the quote.
      {"\"C:\\My Savers\\glow.scr\" /S", A::FullScreen, false, false, 0},
      {"\"C:\\My Savers\\glow.scr\"/S", A::FullScreen, false, false, 0},
      {"\"C:\\My Savers\\glow.scr /S", A::Refuse, false, false, 0},
      {"\"\"", A::Configure, false, false, 0},
      // Only the space separates: a tab belongs to the program name.
      {"saver.scr\t/s", A::Configure, false, false, 0},
      // Preview: nothing, a word, 0, hexadecimal, a colon and decimal, octal, runs of separators.
      {"saver.scr /p", A::Preview, false, false, 0},
      {"saver.scr /p    ", A::Preview, false, false, 0},
      {"saver.scr /p word", A::Preview, false, false, 0},
      {"saver.scr /p 0", A::Preview, false, true, 0},
      {"saver.scr /p 0x1A2B", A::Preview, false, true, 0x1A2B},
      {"saver.scr /p:4660", A::Preview, false, true, 4660},
      {"saver.scr /P : :: 17", A::Preview, false, true, 17},
      {"saver.scr /l 012", A::Preview, false, true, 10},
      {"saver.scr /L -5", A::Preview, false, true, -5},
      {"saver.scr /p 99999999999", A::Preview, false, true, INT32_MAX},
      {"saver.scr /p 0xFFFFFFFFF", A::Preview, false, true, INT32_MAX},
      // Change password: alone, with a number (the run checks that it is a window).
      {"saver.scr /a", A::ChangePassword, false, false, 0},
      {"saver.scr /A 4660", A::ChangePassword, false, true, 4660},
      {"saver.scr /a:0x10", A::ChangePassword, false, true, 16},
  };
  for (const LineCase& c : cases) {
    SaverCommand command = ParseCommandLine(c.line);
    EXPECT_EQ(c.action, command.action) << c.line;
    EXPECT_EQ(c.overForeground, command.overForeground) << c.line;
    EXPECT_EQ(c.hasNumber, command.hasNumber) << c.line;
    if (c.hasNumber) {
      EXPECT_EQ(c.number, command.number) << c.line;
    }
    // The preview's companion check sees the text from the switch letter on.
    if (c.action == A::Preview) {
      ASSERT_NE(nullptr, command.switchText) << c.line;
      EXPECT_TRUE(*command.switchText == 'p' || *command.switchText == 'P' ||
                  *command.switchText == 'l' || *command.switchText == 'L')
          << c.line;
    } else {
      EXPECT_EQ(nullptr, command.switchText) << c.line;
    }
  }
  EXPECT_EQ(A::Refuse, ParseCommandLine(nullptr).action);
}

TEST(CommandLine, CompanionNameAfterThePreviewSwitch) {
  const struct {
    const char* switchText;
    bool names;
  } cases[] = {
      {"p tavisk", true},
      {"p Tavisk", true},
      {"pTAVISK", true},
      {"ltavisk", true},
      {"p    tavisk", true},
      // Directly after the letter the name ends at a space; after a space the rest must be it.
      {"ptavisk more words", true},
      {"p tavisk more", false},
      {"p tavis", false},
      {"p taviskx", false},
      {"p:tavisk", false},
      {"p", false},
      {"p ", false},
      {"", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.names, NamesCompanion(c.switchText, "Tavisk")) << c.switchText;
  }
  EXPECT_FALSE(NamesCompanion(nullptr, "Tavisk"));
  EXPECT_FALSE(NamesCompanion("p tavisk", ""));
}

TEST(CommandLine, CompanionCheckStaysWithinItsWorkingCopy) {
  // The letter, the compared text and its zero fit 100 characters: a name of 98 can match, one of
  // 99 cannot, and a cut copy never turns a longer word into the name.
  const std::string fits(98, 'n');
  const std::string tooLong(99, 'n');
  EXPECT_TRUE(NamesCompanion(("p" + fits).c_str(), fits.c_str()));
  EXPECT_FALSE(NamesCompanion(("p" + tooLong).c_str(), tooLong.c_str()));
  EXPECT_FALSE(NamesCompanion(("p" + fits + "n").c_str(), fits.c_str()));
  std::vector<char> huge(100000, 'x');
  huge[0] = 'p';
  huge.back() = 0;
  EXPECT_FALSE(NamesCompanion(huge.data(), "Tavisk"));
  std::string line = "saver.scr /p " + std::string(100000, ' ') + "0x10";
  EXPECT_EQ(16, ParseCommandLine(line.c_str()).number);
}

TEST(PasswordDelay, WholeSecondsAgainstTheDelayWithWrapAndNegativeDelays) {
  const struct {
    uint32_t start, now;
    int32_t delay;
    bool within;
  } cases[] = {
      {1000, 1000 + 59900, 60, true},  // 59 whole seconds
      {1000, 1000 + 60000, 60, false},
      {1000, 1000, 0, false},   // no delay: the registry decides at once
      {1000, 1000, -1, false},  // negative delays count as 0
      {1000, 1000, INT32_MIN, false},
      {0xFFFFF000u, 0x00001000u, 9, true},  // 8192 ms across the wrap
      {0xFFFFF000u, 0x00001000u, 8, false},
      {5000, 4000, 60, false},  // a clock read before the start is 49 days later
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.within, WithinPasswordDelay(c.start, c.now, c.delay))
        << c.start << " " << c.now << " " << c.delay;
  }
}

}  // namespace
