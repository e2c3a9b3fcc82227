#include "password/passwords.h"

#include "core/library.h"
#include "core/platform_library.h"
#include "core/resource_ids.h"
#include "core/trace.h"

namespace morvane {

namespace {

typedef BOOL(WINAPI* VerifyScreenSavePwdProc)(HWND owner);

// The provider's verification entry point, its library loaded; null (after a trace) when it is
// out of reach, with nothing left loaded.
VerifyScreenSavePwdProc FindVerifier(HMODULE* library) {
  char libraryName[NameCapacity];
  if (!LoadFrameworkString(IDS_PASSWORD_PROVIDER, libraryName, sizeof libraryName)) {
    Trace("DoVerifyPwDialog: failed to load pwdprovidername string. Aborting");
    return nullptr;
  }
  *library = LoadPlatformLibrary(libraryName);
  if (!*library) {
    Trace("DoVerifyPwDialog: unable to load pwdprovider library. Aborting");
    return nullptr;
  }
  char procName[NameCapacity];
  if (!LoadFrameworkString(IDS_VERIFY_PASSWORD_PROC, procName, sizeof procName)) {
    Trace("DoVerifyPwDialog: failed to load 'verifypw' string. Aborting");
    FreeLibrary(*library);
    return nullptr;
  }
  FARPROC proc = GetProcAddress(*library, procName);
  if (!proc) {
    Trace("DoVerifyPwDialog: could not get verifypw proc address. Aborting");
    FreeLibrary(*library);
    return nullptr;
  }
  return reinterpret_cast<VerifyScreenSavePwdProc>(reinterpret_cast<void*>(proc));
}

}  // namespace

int DoVerifyPwDialog(HWND window) {
  Trace("DoVerifyPwDialog: using Master Password Router");
  HMODULE library = nullptr;
  VerifyScreenSavePwdProc verify = FindVerifier(&library);
  if (!verify) return IDOK;
  ShowCursor(TRUE);
  Trace("DoVerifyPwDialog: about to do VerifyScreenSavePwd...");
  BOOL accepted = verify(window);
  ShowCursor(FALSE);
  FreeLibrary(library);
  if (!accepted) {
    Trace("DoVerifyPwDialog: verifypwd returned FALSE. Returning IDCANCEL");
    return IDCANCEL;
  }
  Trace("DoVerifyPwDialog: verifypwd returned TRUE!. Returing IDOK");
  return IDOK;
}

}  // namespace morvane
