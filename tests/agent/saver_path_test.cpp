#include <gtest/gtest.h>

#include <string>

#include "saver_path.h"

using namespace corners;

namespace {

SaverPathVerdict Judge(const std::string& text) {
  return JudgeSaverPath(text.data(), text.size());
}

TEST(SaverPath, OnlyFullPathsToScrFilesAreUsable) {
  EXPECT_EQ(SaverPathVerdict::Usable, Judge("C:\\windows\\system32\\glimmerbox.scr"));
  EXPECT_EQ(SaverPathVerdict::Usable, Judge("z:\\srv\\x\\Test.SCR"));
  EXPECT_EQ(SaverPathVerdict::Usable, Judge("\\\\server\\share\\a.scr"));
  EXPECT_EQ(SaverPathVerdict::Empty, Judge(""));
  EXPECT_EQ(SaverPathVerdict::Empty, JudgeSaverPath(nullptr, 5));
  EXPECT_EQ(SaverPathVerdict::NotAbsolute, Judge("glimmerbox.scr"));
  EXPECT_EQ(SaverPathVerdict::NotAbsolute, Judge("C:glimmerbox.scr"));
  EXPECT_EQ(SaverPathVerdict::NotAbsolute, Judge("\\windows\\glimmerbox.scr"));
  EXPECT_EQ(SaverPathVerdict::BadCharacters, Judge("\\\\?\\C:\\a.scr"));
  EXPECT_EQ(SaverPathVerdict::NotAbsolute, Judge("\\\\.\\C:\\a.scr"));
  EXPECT_EQ(SaverPathVerdict::NotScr, Judge("C:\\windows\\notepad.exe"));
  EXPECT_EQ(SaverPathVerdict::NotScr, Judge("C:\\windows\\a.scr.exe"));
  EXPECT_EQ(SaverPathVerdict::NotScr, Judge("C:\\windows\\.scr"));
  EXPECT_EQ(SaverPathVerdict::BadCharacters, Judge("C:\\a\" /c \"b.scr"));
  EXPECT_EQ(SaverPathVerdict::BadCharacters, Judge("C:\\a\nb.scr"));
  EXPECT_EQ(SaverPathVerdict::BadCharacters, Judge("C:\\a*.scr"));
  EXPECT_EQ(SaverPathVerdict::TooLong, Judge("C:\\" + std::string(300, 'a') + ".scr"));
  EXPECT_EQ(SaverPathVerdict::Usable, Judge("C:\\" + std::string(251, 'a') + ".scr"));
}

TEST(SaverPath, ReadsNoFurtherThanTheSize) {
  const char text[] = {'C', ':', '\\', 'a', '.', 's', 'c', 'r', 'x'};
  EXPECT_EQ(SaverPathVerdict::Usable, JudgeSaverPath(text, 8));
  EXPECT_EQ(SaverPathVerdict::NotScr, JudgeSaverPath(text, 9));
}

}  // namespace
