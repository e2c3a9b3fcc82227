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
