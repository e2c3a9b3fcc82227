/* Stands in for the system's screen-saver password provider, PASSWORD.CPL. The test decides its
   answer with MORVANE_STANDIN_VERIFY: "accept", "refuse" (the default), or "ask", which shows a
   Yes/No box captioned "Screen Saver Password" owned by the saver window and answers Yes as
   accepted. Each call is logged with the owner, whether the cursor was shown, the answer and the
   file this library was loaded from. Built with STANDIN_LOADING_TAG it is the variant that exports
   nothing and logs when it is loaded and unloaded instead (a provider without the entry point). */
#include <windows.h>

#include <string.h>

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

/* Whether the cursor's display count lets it show. */
static int CursorShown(void) {
  int count = ShowCursor(TRUE) - 1;
  ShowCursor(FALSE);
  return count >= 0;
}

BOOL WINAPI VerifyScreenSavePwd(HWND owner) {
  char mode[16] = "refuse";
  char module[MAX_PATH] = "";
  BOOL answer;
  int shown = CursorShown();
  GetEnvironmentVariableA("MORVANE_STANDIN_VERIFY", mode, sizeof mode);
  GetModuleFileNameA(self, module, sizeof module);
  TestLog("provider called owner=0x%x cursor=%d module=%s", (unsigned)(UINT_PTR)owner, shown,
          module);
  if (strcmp(mode, "ask") == 0) {
    answer = MessageBoxA(owner, "Type your screen saver password", "Screen Saver Password",
                         MB_YESNO) == IDYES;
  } else {
    answer = strcmp(mode, "accept") == 0;
  }
  TestLog("provider answer=%d", answer);
  return answer;
}
