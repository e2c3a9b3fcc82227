/* Stands in for XInput as xinput1_4.dll: the pads a test sets. The library is there only for a test
   that names its pad file in MORVANE_STANDIN_PAD: otherwise DllMain fails, the load fails, and the
   program goes on to the next XInput library as it would without one. NOTE: Wine has xinput1_4 of
   its own and prefers it; the tests load this one with WINEDLLOVERRIDES xinput1_4=n.

   The pad file is read afresh at every call, so a test changes the pads by replacing the file. One
   line per connected pad, decimal but for the buttons:
       <index 0-3> <buttons, hex> <left trigger> <right trigger> <lx> <ly> <rx> <ry> <tag>
   A pad not listed is not connected. Each time a pad is first read with another tag the library
   logs "pad <index> read <tag>"; with MORVANE_STANDIN_PAD_CALLS set, every call of pad 0 logs
   "pad call". */
#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "test_log.h"

#define PAD_COUNT    4
#define TAG_CAPACITY 32

typedef struct {
  DWORD packet;
  WORD buttons;
  BYTE leftTrigger, rightTrigger;
  SHORT lx, ly, rx, ry;
} PadState;

typedef struct {
  WORD buttons;
  BYTE leftTrigger, rightTrigger;
  SHORT lx, ly, rx, ry;
} PadVibrationAndGamepad;

static char padFile[MAX_PATH];
static char lastTag[PAD_COUNT][TAG_CAPACITY];
static DWORD packets[PAD_COUNT];
static CRITICAL_SECTION lock;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) {
    DWORD length = GetEnvironmentVariableA("MORVANE_STANDIN_PAD", padFile, sizeof padFile);
    if (length == 0 || length >= sizeof padFile) return FALSE;
    InitializeCriticalSection(&lock);
  }
  TestLogLoading("xinput standin", instance, reason);
  if (reason == DLL_PROCESS_DETACH) DeleteCriticalSection(&lock);
  return TRUE;
}

/* The line of pad index in the file, parsed; 0 when the pad is not listed. */
static int FindPad(DWORD index, PadState* state, char* tag) {
  char line[256];
  int found = 0;
  FILE* file = fopen(padFile, "r");
  if (!file) return 0;
  while (!found && fgets(line, sizeof line, file)) {
    unsigned pad = 0, buttons = 0;
    int lt = 0, rt = 0, lx = 0, ly = 0, rx = 0, ry = 0;
    if (sscanf(line, "%u %x %d %d %d %d %d %d %31s", &pad, &buttons, &lt, &rt, &lx, &ly, &rx, &ry,
               tag) != 9 ||
        pad != index) {
      continue;
    }
    state->buttons = (WORD)buttons;
    state->leftTrigger = (BYTE)lt;
    state->rightTrigger = (BYTE)rt;
    state->lx = (SHORT)lx;
    state->ly = (SHORT)ly;
    state->rx = (SHORT)rx;
    state->ry = (SHORT)ry;
    found = 1;
  }
  fclose(file);
  return found;
}

DWORD WINAPI XInputGetState(DWORD index, PadState* state) {
  char tag[TAG_CAPACITY] = "";
  PadState read;
  if (index >= PAD_COUNT || !state) return ERROR_BAD_ARGUMENTS;
  if (index == 0 && GetEnvironmentVariableA("MORVANE_STANDIN_PAD_CALLS", NULL, 0)) {
    TestLog("pad call");
  }
  memset(&read, 0, sizeof read);
  if (!FindPad(index, &read, tag)) return ERROR_DEVICE_NOT_CONNECTED;
  EnterCriticalSection(&lock);
  if (strcmp(tag, lastTag[index]) != 0) {
    lstrcpynA(lastTag[index], tag, TAG_CAPACITY);
    ++packets[index];
    TestLog("pad %u read %s", (unsigned)index, tag);
  }
  read.packet = packets[index];
  LeaveCriticalSection(&lock);
  *state = read;
  return ERROR_SUCCESS;
}

/* XINPUT_CAPABILITIES: a wired gamepad. */
DWORD WINAPI XInputGetCapabilities(DWORD index, DWORD flags, BYTE* capabilities) {
  PadState unused;
  char tag[TAG_CAPACITY];
  (void)flags;
  if (index >= PAD_COUNT || !capabilities) return ERROR_BAD_ARGUMENTS;
  if (!FindPad(index, &unused, tag)) return ERROR_DEVICE_NOT_CONNECTED;
  memset(capabilities, 0, 4 + sizeof(PadVibrationAndGamepad) + 4);
  capabilities[0] = 1; /* XINPUT_DEVTYPE_GAMEPAD */
  capabilities[1] = 1; /* XINPUT_DEVSUBTYPE_GAMEPAD */
  return ERROR_SUCCESS;
}

void WINAPI XInputEnable(BOOL enable) {
  TestLog("pad enable %d", enable ? 1 : 0);
}
