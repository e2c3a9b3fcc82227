// keepfiles.exe, run by the installer once its files are written:
//   keepfiles.exe PATH...
// cancels every deletion, move or overwrite of PATH (files or folders) that waits for the next
// restart, such as an uninstall's with a saver running left behind, and keeps every other pending
// operation. Exit codes: 0 done, 1 no path given, 2 the list could not be read or written, 3 a list
// is not a list of names and was left as it was.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "pending_renames.h"

namespace installer {

namespace {

enum ExitCode { ExitDone = 0, ExitNoPaths = 1, ExitRegistry = 2, ExitMalformed = 3 };

constexpr wchar_t sessionManagerKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr const wchar_t* pendingValues[] = {L"PendingFileRenameOperations",
                                            L"PendingFileRenameOperations2"};

std::vector<std::u16string> PathsFromCommandLine() {
  std::vector<std::u16string> paths;
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!args) return paths;
  for (int i = 1; i < count; ++i) paths.emplace_back(reinterpret_cast<const char16_t*>(args[i]));
  LocalFree(args);
  return paths;
}

// The value's data, or false when it cannot be read; a missing value reads as no data.
bool ReadValue(HKEY key, const wchar_t* name, DWORD* type, std::vector<uint8_t>* data) {
  for (;;) {
    DWORD size = static_cast<DWORD>(data->size());
    LONG status =
        RegQueryValueExW(key, name, nullptr, type, data->empty() ? nullptr : data->data(), &size);
    if (status == ERROR_FILE_NOT_FOUND) {
      data->clear();
      return true;
    }
    if (status == ERROR_SUCCESS && !data->empty()) {
      data->resize(size);
      return true;
    }
    if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) return false;
    // NOTE: the list may grow between two reads: ask again with the size it reports.
    data->resize(size ? size : 2);
  }
}

ExitCode KeepOut(HKEY key, const wchar_t* name, const std::vector<std::u16string>& paths) {
  DWORD type = REG_NONE;
  std::vector<uint8_t> data;
  if (!ReadValue(key, name, &type, &data)) return ExitRegistry;
  if (data.empty()) return ExitDone;
  if (type != REG_MULTI_SZ) return ExitMalformed;
  PendingFilter filter = DropPendingFor(data.data(), data.size(), paths);
  if (filter.verdict == PendingVerdict::Malformed) return ExitMalformed;
  if (filter.verdict == PendingVerdict::Unchanged) return ExitDone;
  LONG status = filter.kept.empty()
                    ? RegDeleteValueW(key, name)
                    : RegSetValueExW(key, name, 0, REG_MULTI_SZ,
                                     reinterpret_cast<const BYTE*>(filter.kept.data()),
                                     static_cast<DWORD>(filter.kept.size() * sizeof(char16_t)));
  return status == ERROR_SUCCESS ? ExitDone : ExitRegistry;
}

int Main() {
  std::vector<std::u16string> paths = PathsFromCommandLine();
  if (paths.empty()) return ExitNoPaths;
  HKEY key;
  // NOTE: KEY_WOW64_64KEY: the 32-bit program edits the one list a 64-bit Windows carries out.
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, sessionManagerKey, 0,
                    KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) {
    return ExitRegistry;
  }
  // Both lists are worked through whatever the first one's outcome; the worst outcome is told.
  int result = ExitDone;
  for (const wchar_t* name : pendingValues) {
    ExitCode code = KeepOut(key, name, paths);
    if (code > result) result = code;
  }
  RegCloseKey(key);
  return result;
}

}  // namespace

}  // namespace installer

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return installer::Main();
}
