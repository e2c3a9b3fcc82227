#include "core/platform_library.h"

#include "core/bounded_text.h"

#include <cstring>

namespace morvane {

namespace {

enum { PathCapacity = MAX_PATH + 1 };

bool IsBareFileName(const char* name) {
  return name && *name && !std::strpbrk(name, "\\/:");
}

HMODULE LoadFrom(const char* folder, const char* fileName) {
  char path[PathCapacity];
  CopyText(path, sizeof path, folder, sizeof path);
  if (AppendText(path, sizeof path, fileName) != std::strlen(folder) + std::strlen(fileName)) {
    return nullptr;  // the whole path does not fit: never load a cut name
  }
  // The library's own dependencies are looked for beside it first.
  return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

// The folder of the running program, with its trailing backslash; false when it cannot be had.
bool ApplicationFolder(char* folder, size_t capacity) {
  DWORD length = GetModuleFileNameA(nullptr, folder, static_cast<DWORD>(capacity));
  if (length == 0 || length >= capacity) return false;
  char* slash = std::strrchr(folder, '\\');
  if (!slash) return false;
  slash[1] = 0;
  return true;
}

bool SystemFolder(char* folder, size_t capacity) {
  UINT length = GetSystemDirectoryA(folder, static_cast<UINT>(capacity));
  if (length == 0 || length >= capacity - 1) return false;
  if (folder[length - 1] != '\\') AppendText(folder, capacity, "\\");
  return true;
}

HMODULE LoadPlatformLibrary(const char* fileName) {
  if (!IsBareFileName(fileName)) return nullptr;
  char folder[PathCapacity];
  if (ApplicationFolder(folder, sizeof folder)) {
    if (HMODULE library = LoadFrom(folder, fileName)) return library;
  }
  if (SystemFolder(folder, sizeof folder)) return LoadFrom(folder, fileName);
  return nullptr;
}

}  // namespace morvane
