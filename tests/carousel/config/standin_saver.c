/* A saver as the configuration page meets it: a program whose only job here is to note the command
   line it was started with in the file CAROUSEL_PAGE_RECORD names. Built with string 1 (named) and
   without (nameless). */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR line, int show) {
  char path[MAX_PATH];
  DWORD length = GetEnvironmentVariableA("CAROUSEL_PAGE_RECORD", path, sizeof path);
  HANDLE file;
  DWORD written;
  const char* commandLine = GetCommandLineA();
  (void)instance;
  (void)previous;
  (void)line;
  (void)show;
  if (length == 0 || length >= sizeof path) return 1;
  file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return 1;
  WriteFile(file, "standin ", 8, &written, NULL);
  WriteFile(file, commandLine, (DWORD)lstrlenA(commandLine), &written, NULL);
  WriteFile(file, "\n", 1, &written, NULL);
  CloseHandle(file);
  return 0;
}
