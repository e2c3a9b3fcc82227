/* Stands in for the system's password router, MPR.DLL (Wine's own is loaded unless
   WINEDLLOVERRIDES says mpr=n,b). Each call of PwdChangePasswordA is logged with its arguments and
   the file this library was loaded from; it shows nothing and returns 0. Built with
   STANDIN_LOADING_TAG it is the variant that exports nothing and logs when it is loaded and
   unloaded instead (a router without the entry point). */
#include <windows.h>

#include "test_log.h"

static HINSTANCE self;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) self = instance;
#ifdef STANDIN_LOADING_TAG
  TestLogLoading(STANDIN_LOADING_TAG, instance, reason);
#endif
  return TRUE;
}

DWORD WINAPI PwdChangePasswordA(LPCSTR provider, HWND parent, DWORD flags, DWORD reserved) {
  char module[MAX_PATH] = "";
  GetModuleFileNameA(self, module, sizeof module);
  TestLog("router called provider=%s parent=0x%x flags=%lu reserved=%lu module=%s",
          provider ? provider : "(null)", (unsigned)(UINT_PTR)parent, (unsigned long)flags,
          (unsigned long)reserved, module);
  return 0;
}
