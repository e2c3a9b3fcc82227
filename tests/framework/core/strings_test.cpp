// The framework's own strings beside a program's strings under the same ids, linked whole into one
// program: each lookup finds its own, and reading stays inside the string table.
#include "core/library.h"
#include "core/string_table.h"
#include "morvane.h"
#include "resources/resource_language.h"

#include <gtest/gtest.h>

#include <string>

using namespace morvane;

namespace {

std::string ProgramString(UINT id) {
  char text[200] = {};
  LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
  return text;
}

std::string FrameworkString(UINT id) {
  char text[200] = {};
  LoadFrameworkString(id, text, sizeof text);
  return text;
}

class FrameworkStrings : public ::testing::Test {
 protected:
  void SetUp() override {
    ScrSetPrefs(ScrGetPrefs());
  }  // the first public call sets the library up
};

TEST_F(FrameworkStrings, EachLookupFindsItsOwnTextUnderASharedId) {
  const struct {
    UINT id;
    const char* program;
    const char* framework;
  } shared[] = {{50, "Program's 50", "Tavisk"},
                {3501, "Program's caption", "Screen Saver Properties"},
                {3534, "Program's 3534", "High,0"}};
  for (const auto& s : shared) {
    EXPECT_EQ(s.program, ProgramString(s.id)) << s.id;
    EXPECT_EQ(s.framework, FrameworkString(s.id)) << s.id;
  }
  // The program's blocks hold only its own ids; the framework's others in them stay its own.
  EXPECT_EQ("&About", FrameworkString(3500));
  EXPECT_EQ("Plus!.HLP", FrameworkString(3533));
  EXPECT_EQ("Tavisk could not be found.", FrameworkString(54));
}

TEST_F(FrameworkStrings, TextIsCutAsLoadStringCutsIt) {
  // Block 192 (3056 to 3071) is the framework's alone, so LoadStringA finds its text too.
  const UINT id = 3058;
  ASSERT_FALSE(ProgramString(id).empty());
  for (int capacity : {1, 2, 3, 10, 86, 87, 88, 200}) {
    char expected[201], got[201];
    std::fill(std::begin(expected), std::end(expected), 'x');
    std::fill(std::begin(got), std::end(got), 'x');
    int expectedLength = LoadStringA(GetModuleHandleA(nullptr), id, expected, capacity);
    int gotLength = LoadFrameworkString(id, got, capacity);
    EXPECT_EQ(expectedLength, gotLength) << capacity;
    EXPECT_STREQ(expected, got) << capacity;
    EXPECT_EQ('x', got[capacity]) << "wrote past the buffer at capacity " << capacity;
  }
}

TEST_F(FrameworkStrings, MissingStringsAndBadArgumentsGiveNothing) {
  char text[50] = "untouched";
  EXPECT_EQ(0, LoadFrameworkString(3502, text, sizeof text));  // a gap in a framework block
  EXPECT_STREQ("", text);
  EXPECT_EQ(0, LoadFrameworkString(9999, text, sizeof text));  // no such block
  EXPECT_EQ(0, LoadFrameworkString(3501, text, 0));
  EXPECT_EQ(0, LoadStringOfLanguage(
                   GetModuleHandleA(nullptr), 3501,
                   MAKELANGID(MORVANE_STRINGS_LANGUAGE, MORVANE_STRINGS_SUBLANGUAGE), nullptr, 10));
  // A lookup by language takes that language only: the program's text, not the framework's.
  EXPECT_EQ(17,
            LoadStringOfLanguage(GetModuleHandleA(nullptr), 3501,
                                 MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), text, sizeof text));
  EXPECT_STREQ("Program's caption", text);
}

TEST_F(FrameworkStrings, AnEntryLongerThanItsBlockIsNotRead) {
  char text[50] = "untouched";
  // Entry 4784 claims five units where the block holds one; the next ones lie beyond its end.
  EXPECT_EQ(0, LoadFrameworkString(4784, text, sizeof text));
  EXPECT_STREQ("", text);
  EXPECT_EQ(0, LoadFrameworkString(4785, text, sizeof text));
  EXPECT_EQ(0, LoadFrameworkString(4799, text, sizeof text));
}

}  // namespace
