// The framework's logic that needs no Win32, under the sanitizers: bounded texts and trace lines,
// "%i" numbers and the corner geometry, settings data and the installation rule.
#include "core/bounded_text.h"
#include "monitor/corner_geometry.h"
#include "core/install_path.h"
#include "core/scan_integer.h"
#include "settings/settings_codec.h"
#include "core/trace_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace morvane;

namespace {

TEST(PureLogic, CopyTextCutsToCapacityAndReadsNoFurtherThanTheLimit) {
  struct Case {
    std::string source;  // held without a zero, so reading past it is caught
    size_t capacity;
    std::string expected;
  } cases[] = {{"hello", 10, "hello"}, {"hello", 5, "hell"}, {"hello", 1, ""}, {"", 4, ""}};
  for (const Case& c : cases) {
    std::vector<char> source(c.source.begin(), c.source.end());
    std::vector<char> target(c.capacity, '#');
    EXPECT_EQ(c.expected.size(), CopyText(target.data(), c.capacity, source.data(), source.size()));
    EXPECT_EQ(c.expected, target.data());
  }
}

TEST(PureLogic, TraceLinesKeepTheirEndingAndNeverExceed199Characters) {
  char line[TraceLineCapacity];
  FormatTraceLine(line, sizeof line, "full DefSaverProc", "WM_CREATE...", taggedTraceEnding);
  EXPECT_STREQ("full DefSaverProc: WM_CREATE..._________  \n\r", line);
  FormatTraceLine(line, sizeof line, nullptr, std::string(300, 'a').c_str(), plainTraceEnding);
  EXPECT_EQ(std::string(184, 'a') + "___________  \n\r", line);
  char tiny[5];
  EXPECT_EQ(4u, FormatTraceLine(tiny, sizeof tiny, "tag", "text", plainTraceEnding));
}

TEST(PureLogic, PercentINumbers) {
  struct Case {
    const char* text;
    bool read;
    int32_t value;
    size_t consumed;
  } cases[] = {
      {"  -17 rest", true, -17, 5},
      {"0x1F", true, 31, 4},
      {"010", true, 8, 3},
      {"09", true, 0, 1},
      {"0xg", true, 0, 1},
      {"+8", true, 8, 2},
      {"4294967295", true, INT32_MAX, 10},
      {"-99999999999", true, INT32_MIN, 12},
      {"", false, 0, 0},
      {"- 5", false, 0, 0},
      {"x1", false, 0, 0},
  };
  for (const Case& c : cases) {
    int32_t value = 12345;
    const char* end = c.text;
    EXPECT_EQ(c.read, ReadScanfInteger(c.text, &end, &value)) << c.text;
    EXPECT_EQ(c.read ? c.value : 12345, value) << c.text;
    EXPECT_EQ(c.consumed, size_t(end - c.text)) << c.text;
  }
}

TEST(PureLogic, CornerGeometryNeedsAllEightNumbers) {
  CornerPoint points[4] = {};
  for (const char* text : {"", "16 17  169 17  169 130  16", "16 17 x 169 17"}) {
    EXPECT_FALSE(ParseScreenCorners(text, points)) << text;
    EXPECT_EQ(0, points[3].y);  // untouched
  }
  ASSERT_TRUE(ParseScreenCorners("16 17  169 17  169 130  16 130", points));
  CornerBox marks[4], screen;
  BuildCornerBoxes(points, 24, 22, marks, &screen);
  EXPECT_EQ(145, marks[2].left);
  EXPECT_EQ(108, marks[2].top);
  EXPECT_EQ(40, marks[3].right);
  EXPECT_EQ(130, screen.bottom);
}

// A geometry string is read like any "%i" text, so its numbers may sit at the ends of the 32-bit
// range; the mark edges beyond it stop at the range's end instead of wrapping round.
TEST(PureLogic, CornerMarksAtTheEndsOfTheNumberRangeStopThere) {
  const int32_t max = INT32_MAX, min = INT32_MIN;
  CornerPoint points[4] = {};
  ASSERT_TRUE(
      ParseScreenCorners("2147483637 2147483642  -2147483645 2147483647  -2147483648 -2147483648  "
                         "0x7FFFFFFF -99999999999",
                         points));
  CornerBox marks[4], screen;
  BuildCornerBoxes(points, 24, 22, marks, &screen);
  const CornerBox expected[4] = {
      {max - 10, max - 5, max, max},  // top left: right and bottom would pass the top
      {min, max, min + 3, max},       // top right: left below the bottom, bottom above the top
      {min, min, min, min},           // bottom right: left and top below the bottom
      {max, min, max, min},           // bottom left
  };
  for (int corner = 0; corner < 4; ++corner) {
    EXPECT_EQ(expected[corner].left, marks[corner].left) << corner;
    EXPECT_EQ(expected[corner].top, marks[corner].top) << corner;
    EXPECT_EQ(expected[corner].right, marks[corner].right) << corner;
    EXPECT_EQ(expected[corner].bottom, marks[corner].bottom) << corner;
  }
  EXPECT_EQ(max - 10, screen.left);
  EXPECT_EQ(min, screen.bottom);

  // Marks as wide as the whole range (or negative), from points at either end.
  const CornerPoint ends[4] = {{min, min}, {max, min}, {max, max}, {min, max}};
  BuildCornerBoxes(ends, max, max, marks, &screen);
  EXPECT_EQ(-1, marks[0].right);
  EXPECT_EQ(0, marks[1].left);
  EXPECT_EQ(0, marks[2].top);
  EXPECT_EQ(-1, marks[3].right);
  BuildCornerBoxes(ends, min, min, marks, &screen);
  EXPECT_EQ(min, marks[0].right);
  EXPECT_EQ(max, marks[1].left);
  EXPECT_EQ(max, marks[2].top);
  EXPECT_EQ(max, marks[3].top);
  EXPECT_EQ(min, marks[3].right);
}

TEST(PureLogic, SettingDataOfOddTypesAndLengths) {
  const unsigned char bytes[4] = {0x2C, 0x01, 0x00, 0x80};
  EXPECT_EQ(0x8000012Cu, DecodeSettingBytes(bytes, 4));
  EXPECT_EQ(0x12Cu, DecodeSettingBytes(bytes, 2));  // missing bytes are 0
  struct Case {
    std::string text;  // held without a zero
    bool read;
    uint32_t value;
  } cases[] = {{"60", true, 60},
               {"0x3C", true, 60},
               {"-1", true, 0xFFFFFFFF},
               {"abc", false, 7},
               {std::string(40, '7'), true, 0x7FFFFFFF}};
  for (const Case& c : cases) {
    std::vector<char> data(c.text.begin(), c.text.end());
    uint32_t value = 7;
    EXPECT_EQ(c.read, DecodeSettingText(data.data(), data.size(), &value)) << c.text;
    EXPECT_EQ(c.value, value) << c.text;
  }
}

TEST(PureLogic, InstallationIgnoresDriveAndCase) {
  char expected[400];
  EXPECT_TRUE(IsInstalledLocation("D:\\WINDOWS\\MORVANE.DLL", "C:\\Windows\\", expected, 400));
  EXPECT_FALSE(IsInstalledLocation("Z:\\b\\morvane.dll", "C:\\WINDOWS", expected, 400));
  EXPECT_STREQ("  \\windows\\morvane.dll", expected);
  char small[8];
  IsInstalledLocation("Z:\\x.dll", "C:\\WINDOWS", small, sizeof small);
  EXPECT_STREQ("  \\wind", small);
}

}  // namespace
