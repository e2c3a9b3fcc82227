#include "core/install_path.h"
#include "core/library.h"
#include "core/resource_ids.h"

#include "core/bounded_text.h"

namespace morvane {

namespace {

enum { PathCapacity = 400, InstallMessageCapacity = 2000 };

void ShowInstallationMessage(const char* expectedPath) {
  char message[InstallMessageCapacity];
  if (!LoadFrameworkString(IDS_WRONG_INSTALL, message, sizeof message)) {
    CopyText(message, sizeof message, "Wrong install directory. Put it in the windows directory",
             InstallMessageCapacity);
  }
  AppendText(message, sizeof message, "\r\n");
  AppendText(message, sizeof message, expectedPath);
  MessageBoxA(nullptr, message, "Morvane", MB_OK);
}

}  // namespace

bool PassesInstallationCheck() {
  char moduleName[PathCapacity] = {};
  char windowsDirectory[PathCapacity] = {};
  GetModuleFileNameA(libraryState.module, moduleName, PathCapacity - 1);
  GetWindowsDirectoryA(windowsDirectory, PathCapacity - 1);
  char expected[PathCapacity];
  bool installed = IsInstalledLocation(moduleName, windowsDirectory, expected, sizeof expected);
  if (installed || !libraryState.loadedAsLibrary) return true;
  // NOTE: this runs inside DllMain, under the loader lock; user32 is already loaded there because
  // the DLL imports it, and a message box is the only way the user learns why the load failed.
  ShowInstallationMessage(expected);
  return false;
}

}  // namespace morvane
