#include "test_log.h"

#include <stdarg.h>
#include <stdlib.h>
#include <string.h>

void TestLog(const char* format, ...) {
  char path[MAX_PATH];
  char line[1100];
  va_list args;
  HANDLE file;
  DWORD written;
  int length;
  if (!GetEnvironmentVariableA("MORVANE_TEST_LOG", path, sizeof path)) return;
  va_start(args, format);
  length = wvsprintfA(line, format, args);
  va_end(args);
  if (length < 0) return;
  line[length++] = '\n';
  /* Appending writes land whole at the end, whichever process of the test writes. */
  file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return;
  WriteFile(file, line, (DWORD)length, &written, NULL);
  CloseHandle(file);
}

int TestNumber(const char* variable, int fallback) {
  char text[64];
  char* end;
  long value;
  if (!GetEnvironmentVariableA(variable, text, sizeof text)) return fallback;
  value = strtol(text, &end, 0);
  return end == text ? fallback : (int)value;
}

int TestListHas(const char* variable, const char* word) {
  char list[512];
  size_t length = strlen(word);
  const char* item;
  if (!length || !GetEnvironmentVariableA(variable, list, sizeof list)) return 0;
  for (item = list; *item; ++item) {
    if ((item == list || item[-1] == ',') && strncmp(item, word, length) == 0 &&
        (item[length] == ',' || item[length] == 0)) {
      return 1;
    }
  }
  return 0;
}

void TestLogLoading(const char* tag, HINSTANCE instance, DWORD reason) {
  if (reason == DLL_PROCESS_ATTACH) {
    char module[MAX_PATH] = "";
    GetModuleFileNameA(instance, module, sizeof module);
    TestLog("%s loaded module=%s", tag, module);
  }
  if (reason == DLL_PROCESS_DETACH) TestLog("%s unloaded", tag);
}

static double ProcessCpuMs(void) {
  FILETIME created, ended, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user)) return -1;
  return ((double)kernel.dwHighDateTime * 4294967296.0 + kernel.dwLowDateTime +
          (double)user.dwHighDateTime * 4294967296.0 + user.dwLowDateTime) /
         10000.0;
}

static DWORD WINAPI ReportCpu(LPVOID period) {
  LARGE_INTEGER frequency, start, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  for (;;) {
    Sleep((DWORD)(UINT_PTR)period);
    QueryPerformanceCounter(&now);
    /* wsprintf has no floating point: microseconds of CPU as whole numbers. */
    TestLog("cpu %lu at %lu", (unsigned long)(ProcessCpuMs() * 1000.0),
            (unsigned long)((now.QuadPart - start.QuadPart) * 1000000 / frequency.QuadPart));
  }
  return 0;
}

void TestLogCpu(void) {
  static LONG started;
  int period = TestNumber("MORVANE_TEST_CPU_MS", 0);
  HANDLE thread;
  if (period <= 0 || InterlockedExchange(&started, 1)) return;
  thread = CreateThread(NULL, 0, ReportCpu, (LPVOID)(UINT_PTR)period, 0, NULL);
  if (thread) CloseHandle(thread);
}
