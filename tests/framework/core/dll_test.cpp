// morvane.dll refused outside the Windows directory and initialised inside it, its version, and
// the public operations and resources of every module that carries the framework.
#include "message_box_spy.h"
#include "morvane.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

std::string InstalledPath() {
  char folder[MAX_PATH] = {};
  GetWindowsDirectoryA(folder, MAX_PATH);
  return std::string(folder) + "\\morvane.dll";
}

bool MonitorClassRegisteredBy(HMODULE module) {
  WNDCLASSEXA info = {};
  info.cbSize = sizeof info;
  return GetClassInfoExA(module, "MorvaneMonitorClass", &info) != 0;
}

TEST(Dll, OutsideTheWindowsDirectoryItShowsTheInstallationMessageAndFails) {
  std::string expectedPath = InstalledPath();
  expectedPath[0] = expectedPath[1] = ' ';
  for (char& c : expectedPath) c = char(tolower(static_cast<unsigned char>(c)));
  StartAnsweringBoxes();
  HMODULE module = LoadLibraryA((ProgramFolder() + "morvane.dll").c_str());
  std::vector<ShownBox> boxes = StopAnsweringBoxes();
  EXPECT_EQ(nullptr, module);
  ASSERT_EQ(1u, boxes.size());
  EXPECT_EQ(
      "Morvane has been incorrectly installed.\r\nIt must be placed in the windows "
      "directory\r\n" +
          expectedPath,
      boxes[0].text);
  EXPECT_EQ("Morvane", boxes[0].caption);
}

TEST(Dll, InTheWindowsDirectoryItLoadsInitialisesAndReportsItsVersion) {
  StartAnsweringBoxes();
  HMODULE module = LoadLibraryA(InstalledPath().c_str());
  EXPECT_TRUE(StopAnsweringBoxes().empty());
  ASSERT_NE(nullptr, module);
  EXPECT_TRUE(MonitorClassRegisteredBy(module));
  // The library reads its own "FileVersion"; without a buffer it asks room for the terminator too.
  using VersionProc = int(WINAPI*)(char*, int);
  auto getVersion = reinterpret_cast<VersionProc>(
      reinterpret_cast<void*>(GetProcAddress(module, "GetLibraryVersion")));
  ASSERT_NE(nullptr, getVersion);
  char libraryVersion[49] = {};
  EXPECT_EQ(4, getVersion(libraryVersion, sizeof libraryVersion));
  EXPECT_STREQ("1.5s", libraryVersion);
  EXPECT_EQ(5, getVersion(nullptr, 0));
  EXPECT_EQ(2, getVersion(libraryVersion, 3));
  EXPECT_STREQ("1.", libraryVersion);
  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_FALSE(MonitorClassRegisteredBy(module));  // unregistered at process detach

  std::string block(GetFileVersionInfoSizeA(InstalledPath().c_str(), nullptr), '\0');
  ASSERT_TRUE(GetFileVersionInfoA(InstalledPath().c_str(), 0, DWORD(block.size()), &block[0]));
  WORD* translation = nullptr;
  char* version = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(&block[0], "\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &length));
  char name[64];
  wsprintfA(name, "\\StringFileInfo\\%04x%04x\\FileVersion", translation[0], translation[1]);
  ASSERT_TRUE(VerQueryValueA(&block[0], name, reinterpret_cast<void**>(&version), &length));
  EXPECT_STREQ("1.5s", version);
}

TEST(Dll, CarriersExportThePublicOperationsByPlainNameAndHoldTheResources) {
  const char* operations[] = {
      "ScrGetPrefs",       "ScrSetPrefs",  "ScrGetSettings",      "ScrStartTimer",
      "ScrStopTimer",      "ScrMain",      "ScrMainHooks",        "ScrMainHost",
      "DefHostProc",       "DefSaverProc", "MonitorControlInfo",  "CreatePreview",
      "GetLibraryVersion", "ScrHelp",      "ScrSetMonitorPolicy", "ScrGetWindowMonitor"};
  const std::string modules[] = {InstalledPath(), ProgramFolder() + "glimmerbox.exe",
                                 ProgramFolder() + "framework_lifecycle_test.exe"};
  for (const std::string& path : modules) {
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(nullptr, module) << path;
    for (const char* name : operations) {
      EXPECT_NE(nullptr, GetProcAddress(module, name)) << name << " in " << path;
    }
    EXPECT_EQ(nullptr, GetProcAddress(module, "ScrGetPrefs@0")) << path;
    EXPECT_EQ(nullptr, GetProcAddress(module, "ScrMain@20")) << path;
    EXPECT_EQ(nullptr, GetProcAddress(module, "ScrHelp@12")) << path;
    char geometry[100] = {};
    LoadStringA(module, 3055, geometry, sizeof geometry);
    EXPECT_STREQ("16 17  169 17  169 130  16 130", geometry) << path;
    for (int dialog : {3600, 3601, 3602}) {
      EXPECT_NE(nullptr, FindResourceA(module, MAKEINTRESOURCEA(dialog), MAKEINTRESOURCEA(5)));
    }
    FreeLibrary(module);
  }
}

}  // namespace
