// The saver catalog over folders of real and broken savers, and the checks a stored saver passes.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "config_support.h"
#include "saver_catalog.h"

using namespace carousel;

namespace {

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// An MS-DOS header whose PE header offset is peOffset, in a file of size bytes, with sign at it.
std::string FakeProgram(uint32_t peOffset, size_t size, const std::string& sign) {
  std::string bytes(size, '\0');
  bytes[0] = 'M';
  bytes[1] = 'Z';
  for (int i = 0; i < 4; ++i) bytes[60 + i] = static_cast<char>(peOffset >> (8 * i));
  if (peOffset + sign.size() <= size) bytes.replace(peOffset, sign.size(), sign);
  return bytes;
}

class CarouselCatalog : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    root = std::string(temp) + "carousel_catalog_" + std::to_string(GetCurrentProcessId());
    first = root + "\\system";
    second = root + "\\windows";
    for (const std::string& folder : {root, first, second})
      CreateDirectoryA(folder.c_str(), nullptr);
    const std::string named = BesideTest("carousel_standin_saver.exe");
    const std::string nameless = BesideTest("carousel_nameless_saver.exe");
    CopyFileA(named.c_str(), In(first, "named.scr").c_str(), FALSE);
    CopyFileA(nameless.c_str(), In(first, "Nameless.SCR").c_str(), FALSE);
    CopyFileA(named.c_str(), In(first, "tool.exe").c_str(), FALSE);
    CopyFileA(ThisProgram().c_str(), In(first, "renamed.scr").c_str(), FALSE);
    CopyFileA(named.c_str(), In(second, "NAMED.scr").c_str(), FALSE);
    CopyFileA(named.c_str(), In(second, "later.scr").c_str(), FALSE);
    WriteFile(In(first, "notes.scr"), std::string(100, '#'));
    WriteFile(In(first, "short.scr"), "MZ");
    WriteFile(In(first, "far.scr"), FakeProgram(4096, 256, "PE"));
    WriteFile(In(first, "nope.scr"), FakeProgram(128, 256, std::string("XX\0\0", 4)));
    CreateDirectoryA(In(first, "folder.scr").c_str(), nullptr);
  }
  void TearDown() override {
    for (const std::string& folder : {first, second}) {
      WIN32_FIND_DATAA found;
      HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
      if (search == INVALID_HANDLE_VALUE) continue;
      do {
        const std::string path = In(folder, found.cFileName);
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA(path.c_str());
      } while (FindNextFileA(search, &found));
      FindClose(search);
    }
    RemoveDirectoryA(In(first, "folder.scr").c_str());
    for (const std::string& folder : {first, second, root}) RemoveDirectoryA(folder.c_str());
  }
  static std::string In(const std::string& folder, const char* name) {
    return folder + "\\" + name;
  }
  std::string root, first, second;
};

TEST_F(CarouselCatalog, ListsRunnableSaversOnceByTheirNamesWithoutCarousel) {
  // "Nameless" (its file name) before "Stand-in Saver" (its string 1); the second folder's
  // NAMED.scr is the first one's named.scr again.
  EXPECT_EQ((std::vector<std::string>{In(first, "Nameless.SCR"), In(first, "named.scr"),
                                      In(second, "later.scr")}),
            InstalledSaversIn({first, second}));
  EXPECT_EQ("Stand-in Saver", SaverDisplayName(In(first, "named.scr")));
  EXPECT_EQ("Nameless", SaverDisplayName(In(first, "Nameless.SCR")));
  EXPECT_EQ("notes", SaverDisplayName(In(first, "notes.scr")));
  EXPECT_EQ("gone", SaverDisplayName(In(first, "gone.scr")));
}

TEST_F(CarouselCatalog, SaysWhyAStoredSaverCannotRun) {
  const struct {
    std::string path;
    const char* why;  // empty: usable
  } cases[] = {
      {In(first, "named.scr"), ""},
      {In(first, "tool.exe"), ""},  // a stored path is taken at its word, whatever its ending
      {In(first, "gone.scr"), "missing"},
      {In(first, "folder.scr"), "a folder"},
      {In(first, "notes.scr"), "no MZ header"},
      {In(first, "short.scr"), "too short"},
      {In(first, "far.scr"), "beyond the file"},
      {In(first, "nope.scr"), "no PE header"},
      {In(first, "renamed.scr"), "Carousel itself"},
      {ThisProgram(), "Carousel itself"},
      {"", "no path"},
  };
  for (const auto& c : cases) {
    std::string why;
    EXPECT_EQ(*c.why == '\0', IsUsableSaver(c.path, &why)) << c.path;
    EXPECT_NE(std::string::npos, why.find(c.why)) << c.path << ": " << why;
  }
  Settings settings;
  settings.savers = {In(first, "gone.scr"), In(first, "notes.scr"), In(second, "later.scr"),
                     In(first, "renamed.scr")};
  EXPECT_EQ(std::vector<std::string>{In(second, "later.scr")}, UsableSavers(settings));
  settings.savers = {In(first, "gone.scr")};
  EXPECT_TRUE(UsableSavers(settings).empty());
}

#ifdef CAROUSEL_OTHER_WORD_SIZE_SAVER
// A 32-bit saver seen from the 64-bit Carousel: listed by its own name, and usable.
TEST_F(CarouselCatalog, ReadsASaverOfTheOtherWordSize) {
  const std::string peer = In(first, "peer.scr");
  ASSERT_TRUE(CopyFileA(("Z:" CAROUSEL_OTHER_WORD_SIZE_SAVER), peer.c_str(), FALSE));
  EXPECT_EQ("Stand-in Saver", SaverDisplayName(peer));
  std::string why;
  EXPECT_TRUE(IsUsableSaver(peer, &why)) << why;
}
#endif

}  // namespace
