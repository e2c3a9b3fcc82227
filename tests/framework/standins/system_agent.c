/* Stands in for the System Agent hot-corner libraries, built twice: as Sage.DLL (AGENT_TAG "sage")
   and as ScrHots.dll (AGENT_TAG "scrhots"). A library is there only for a test that lists its tag
   in MORVANE_STANDIN_AGENTS ("sage,scrhots"): otherwise DllMain fails, the load fails, and every
   other test sees no System Agent. MORVANE_STANDIN_SAGE_DETECT and MORVANE_STANDIN_SCRHOTS_DETECT
   give the detection answers (1 when unset). Both entry points are WINAPI, take no arguments and
   are exported by plain name; each call is logged with the file this library was loaded from. */
#include <windows.h>

#include "test_log.h"

static HINSTANCE self;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)reserved;
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  self = instance;
  return TestListHas("MORVANE_STANDIN_AGENTS", AGENT_TAG);
}

static void ModulePath(char* path, DWORD capacity) {
  path[0] = 0;
  GetModuleFileNameA(self, path, capacity);
}

int WINAPI System_Agent_Detect(void) {
  char module[MAX_PATH];
  int answer = TestNumber(AGENT_DETECT_VARIABLE, 1);
  ModulePath(module, sizeof module);
  TestLog("%s detect answer=%d module=%s", AGENT_TAG, answer, module);
  return answer;
}

void WINAPI Screen_Saver_Changed(void) {
  char module[MAX_PATH];
  ModulePath(module, sizeof module);
  TestLog("%s changed module=%s", AGENT_TAG, module);
}
