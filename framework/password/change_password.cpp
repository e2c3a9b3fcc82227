#include "password/passwords.h"

#include "core/library.h"
#include "core/platform_library.h"
#include "settings/prefs.h"
#include "core/resource_ids.h"

namespace morvane {

namespace {

typedef DWORD(WINAPI* PwdChangePasswordProc)(LPCSTR provider, HWND parent, DWORD, DWORD);

int ShowNeverNotice(HWND parent) {
  char notice[MessageCapacity];
  if (!LoadFrameworkString(IDS_NEVER_PASSWORD, notice, sizeof notice)) {
    lstrcpynA(notice, "Cannot change password", sizeof notice);
  }
  return MessageBoxA(parent, notice, "Password", MB_OK);
}

// Calls the router's change dialog for the provider key; false when a name or the entry point is
// missing.
bool RunRouterDialog(HMODULE router, HWND parent) {
  char procName[NameCapacity];
  if (!LoadFrameworkString(IDS_CHANGE_PASSWORD_PROC, procName, sizeof procName)) return false;
  FARPROC proc = GetProcAddress(router, procName);
  if (!proc) return false;
  char providerKey[NameCapacity];
  if (!LoadFrameworkString(IDS_PASSWORD_PROVIDER_KEY, providerKey, sizeof providerKey))
    return false;
  reinterpret_cast<PwdChangePasswordProc>(reinterpret_cast<void*>(proc))(providerKey, parent, 0, 0);
  return true;
}

}  // namespace

int DoChangePwDialog(HWND parent) {
  if (currentPrefs.neverPassword) return ShowNeverNotice(parent);
  char libraryName[NameCapacity];
  if (!LoadFrameworkString(IDS_PASSWORD_ROUTER, libraryName, sizeof libraryName)) return 2;
  HMODULE router = LoadPlatformLibrary(libraryName);
  if (!router) return 2;
  bool ran = RunRouterDialog(router, parent);
  FreeLibrary(router);
  return ran ? 1 : 2;
}

}  // namespace morvane
