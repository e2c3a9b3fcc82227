/* The start bench's log, for programs that load nothing beyond the system's libraries: one line
   "WHAT COUNT" per event, COUNT the performance counter then, appended to MORVANE_TEST_LOG. The
   counter is the same in every process, so the bench subtracts its own reading at the launch. */
#ifndef START_LOG_H
#define START_LOG_H

#include <windows.h>

static void LogStartEvent(const char* what) {
  char path[MAX_PATH];
  char line[64];
  LARGE_INTEGER now;
  HANDLE file;
  DWORD written;
  int length;
  DWORD pathLength;
  QueryPerformanceCounter(&now);
  length = wsprintfA(line, "%s %I64d\n", what, now.QuadPart);
  pathLength = GetEnvironmentVariableA("MORVANE_TEST_LOG", path, sizeof path);
  if (pathLength == 0 || pathLength >= sizeof path) return;
  file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return;
  WriteFile(file, line, (DWORD)length, &written, NULL);
  CloseHandle(file);
}

#endif
