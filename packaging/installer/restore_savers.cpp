// restoresavers.exe, run by the uninstaller of a per-machine install (as SYSTEM or /ALLUSERS):
//   restoresavers.exe SAVER_PATH ACTIVE_SETUP_ID
// gives every user with a profile on this machine back the saver Glimmerbox replaced (unless they
// chose another since) and removes Glimmerbox's records from their settings: Software\Glimmerbox,
// the hot corners' Run value and their Active Setup record of ACTIVE_SETUP_ID. A logged-on user's
// settings are changed where they are loaded, the others' in their profile's NTUSER.DAT. Exit
// codes: 0 done, 1 bad arguments, 2 some profile's settings could not be changed.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "saver_restore.h"

namespace installer {

namespace {

enum ExitCode { ExitDone = 0, ExitBadArguments = 1, ExitSomeFailed = 2 };

constexpr wchar_t profileListKey[] =
    L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
constexpr wchar_t loadedName[] = L"GlimmerboxRestore";
constexpr wchar_t desktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t recordKey[] = L"Software\\Glimmerbox";
constexpr wchar_t runKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t activeSetupKey[] = L"Software\\Microsoft\\Active Setup\\Installed Components\\";

const wchar_t* Wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

Text ReadText(HKEY root, const wchar_t* key, const wchar_t* name) {
  Text text;
  wchar_t buffer[MAX_PATH * 2] = {};
  DWORD size = sizeof buffer - sizeof(wchar_t);
  DWORD type = REG_NONE;
  HKEY opened;
  if (RegOpenKeyExW(root, key, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return text;
  LONG status =
      RegQueryValueExW(opened, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(opened);
  if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return text;
  buffer[size / sizeof(wchar_t)] = 0;
  text.present = true;
  text.value = reinterpret_cast<const char16_t*>(buffer);
  return text;
}

bool Apply(HKEY root, const wchar_t* name, ValueAction action, const std::u16string& value) {
  if (action == ValueAction::Keep) return true;
  HKEY key;
  if (RegOpenKeyExW(root, desktopKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return false;
  LONG status =
      action == ValueAction::Delete
          ? RegDeleteValueW(key, name)
          : RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>((value.size() + 1) * sizeof(char16_t)));
  RegCloseKey(key);
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

void DeleteValue(HKEY root, const wchar_t* key, const wchar_t* name) {
  HKEY opened;
  if (RegOpenKeyExW(root, key, 0, KEY_SET_VALUE, &opened) != ERROR_SUCCESS) return;
  RegDeleteValueW(opened, name);
  RegCloseKey(opened);
}

// One user's settings, opened at root.
bool RestoreUser(HKEY root, const std::u16string& installed, const std::u16string& activeSetupId) {
  UserSaverRecord user;
  user.current = ReadText(root, desktopKey, L"SCRNSAVE.EXE");
  user.previousSaver = ReadText(root, recordKey, L"PreviousSaver");
  user.previousSaverMissing = ReadText(root, recordKey, L"PreviousSaverMissing").value == u"1";
  user.previousActive = ReadText(root, recordKey, L"PreviousActive");
  user.previousActiveMissing = ReadText(root, recordKey, L"PreviousActiveMissing").value == u"1";
  SaverRestore plan = PlanSaverRestore(user, installed);
  bool done = Apply(root, L"SCRNSAVE.EXE", plan.saver, plan.saverValue) &&
              Apply(root, L"ScreenSaveActive", plan.active, plan.activeValue);
  RegDeleteKeyW(root, recordKey);
  DeleteValue(root, runKey, L"Morvane hot corners");
  std::wstring activeSetup = std::wstring(activeSetupKey) + Wide(activeSetupId);
  RegDeleteKeyW(root, activeSetup.c_str());
  return done;
}

bool EnablePrivilege(HANDLE token, const wchar_t* name) {
  TOKEN_PRIVILEGES privileges = {1, {{{0, 0}, SE_PRIVILEGE_ENABLED}}};
  return LookupPrivilegeValueW(nullptr, name, &privileges.Privileges[0].Luid) &&
         AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) &&
         GetLastError() == ERROR_SUCCESS;
}

// Loading another user's hive needs these two, which administrators and SYSTEM hold disabled.
void EnableHivePrivileges() {
  HANDLE token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return;
  EnablePrivilege(token, L"SeRestorePrivilege");
  EnablePrivilege(token, L"SeBackupPrivilege");
  CloseHandle(token);
}

// The profile's settings where they are loaded (the user is logged on), else from its file.
bool RestoreProfile(HKEY profiles, const wchar_t* sid, const std::u16string& installed,
                    const std::u16string& activeSetupId) {
  HKEY loaded;
  if (RegOpenKeyExW(HKEY_USERS, sid, 0, KEY_READ | KEY_WRITE, &loaded) == ERROR_SUCCESS) {
    bool done = RestoreUser(loaded, installed, activeSetupId);
    RegCloseKey(loaded);
    return done;
  }
  Text folder = ReadText(profiles, sid, L"ProfileImagePath");
  if (!folder.present) return true;  // a profile without a folder has no settings to change
  wchar_t hive[MAX_PATH];
  DWORD length = ExpandEnvironmentStringsW(Wide(folder.value), hive, MAX_PATH - 12);
  if (!length || length > MAX_PATH - 12) return false;
  lstrcatW(hive, L"\\NTUSER.DAT");
  if (GetFileAttributesW(hive) == INVALID_FILE_ATTRIBUTES) return true;
  if (RegLoadKeyW(HKEY_USERS, loadedName, hive) != ERROR_SUCCESS) return false;
  bool done = false;
  if (RegOpenKeyExW(HKEY_USERS, loadedName, 0, KEY_READ | KEY_WRITE, &loaded) == ERROR_SUCCESS) {
    done = RestoreUser(loaded, installed, activeSetupId);
    RegCloseKey(loaded);
  }
  RegUnLoadKeyW(HKEY_USERS, loadedName);
  return done;
}

int Main() {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!args) return ExitBadArguments;
  if (count != 3 || !args[1][0] || !args[2][0]) {
    LocalFree(args);
    return ExitBadArguments;
  }
  std::u16string installed = reinterpret_cast<const char16_t*>(args[1]);
  std::u16string activeSetupId = reinterpret_cast<const char16_t*>(args[2]);
  LocalFree(args);
  EnableHivePrivileges();
  HKEY profiles;
  // NOTE: KEY_WOW64_64KEY: the 32-bit program reads the one list of profiles.
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, profileListKey, 0, KEY_READ | KEY_WOW64_64KEY, &profiles) !=
      ERROR_SUCCESS) {
    return ExitSomeFailed;
  }
  int result = ExitDone;
  wchar_t sid[256];
  for (DWORD index = 0;; ++index) {
    DWORD length = ARRAYSIZE(sid);
    LONG status = RegEnumKeyExW(profiles, index, sid, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status != ERROR_SUCCESS) continue;
    // People's accounts (S-1-5-21-...): the service accounts' profiles never had Glimmerbox.
    if (wcsncmp(sid, L"S-1-5-21-", 9) != 0) continue;
    if (!RestoreProfile(profiles, sid, installed, activeSetupId)) result = ExitSomeFailed;
  }
  RegCloseKey(profiles);
  return result;
}

}  // namespace

}  // namespace installer

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return installer::Main();
}
