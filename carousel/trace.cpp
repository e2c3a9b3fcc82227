#include "trace.h"

#include <windows.h>

#include <cstdarg>

namespace carousel {

namespace {

void AppendToTestLog(const char* line, int length) {
  char path[MAX_PATH];
  DWORD size = GetEnvironmentVariableA("MORVANE_TEST_LOG", path, sizeof path);
  if (size == 0 || size >= sizeof path) return;
  // Appending writes land whole at the end, whichever process of the test writes.
  HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written;
  WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
  CloseHandle(file);
}

}  // namespace

void Trace(const char* format, ...) {
  // wvsprintf writes at most 1024 characters: the buffer holds them, the prefix and the newline.
  char line[1100] = "Carousel: ";
  int prefix = lstrlenA(line);
  va_list args;
  va_start(args, format);
  int length = wvsprintfA(line + prefix, format, args);
  va_end(args);
  if (length < 0) return;
  length += prefix;
  line[length++] = '\n';
  line[length] = 0;
  OutputDebugStringA(line);
  AppendToTestLog(line, length);
}

}  // namespace carousel
