#include <cstdio>
#include <new>

#include "core/bounded_text.h"
#include "core/library.h"
#include "core/system_library.h"
#include "morvane.h"
#include "core/resource_ids.h"

namespace morvane {

namespace {

enum { PathCapacity = 400, SubBlockCapacity = 100 };

// The text (read no further than limit) cut to capacity characters, terminator included; the
// length copied. With no buffer, the text's length plus missingBufferExtra.
int CopyVersion(const char* version, size_t limit, char* buffer, int capacity,
                int missingBufferExtra) {
  size_t length = BoundedLength(version, limit);
  if (!buffer) return static_cast<int>(length) + missingBufferExtra;
  if (capacity <= 0) return 0;
  return static_cast<int>(CopyText(buffer, static_cast<size_t>(capacity), version, length));
}

// "FileVersion" under the first translation of the block, and the room it takes; null when the
// block lacks either.
typedef BOOL(WINAPI* VerQueryValueProc)(LPCVOID, LPCSTR, LPVOID*, PUINT);

const char* FileVersionIn(void* block, UINT* room) {
  auto queryValue = SystemFunction<VerQueryValueProc>("version.dll", "VerQueryValueA");
  if (!queryValue) return nullptr;
  DWORD* translation = nullptr;
  UINT size = 0;
  if (!queryValue(block, "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                  &size) ||
      !translation || size < sizeof(DWORD)) {
    return nullptr;
  }
  // The entry holds the language in its low half and the code page in its high half; the
  // sub-block is named language first.
  DWORD swapped = (*translation << 16) | (*translation >> 16);
  char subBlock[SubBlockCapacity];
  std::snprintf(subBlock, sizeof subBlock, "\\StringFileInfo\\%08lx\\%s",
                static_cast<unsigned long>(swapped), "FileVersion");
  char* version = nullptr;
  if (!queryValue(block, subBlock, reinterpret_cast<void**>(&version), room) || !version) {
    return nullptr;
  }
  return version;
}

int ReadModuleVersion(char* buffer, int capacity) {
  char path[PathCapacity] = {};
  GetModuleFileNameA(libraryState.module, path, PathCapacity);
  DWORD ignored = 0;
  auto sizeOf =
      SystemFunction<DWORD(WINAPI*)(LPCSTR, LPDWORD)>("version.dll", "GetFileVersionInfoSizeA");
  auto infoOf = SystemFunction<BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID)>("version.dll",
                                                                            "GetFileVersionInfoA");
  if (!sizeOf || !infoOf) return 0;
  DWORD size = sizeOf(path, &ignored);
  if (!size) return 0;
  char* block = new (std::nothrow) char[size];
  if (!block) return 0;
  int result = 0;
  if (infoOf(path, 0, size, block)) {
    UINT room = 0;
    const char* version = FileVersionIn(block, &room);
    if (version) result = CopyVersion(version, room, buffer, capacity, 1);
  }
  delete[] block;
  return result;
}

}  // namespace

}  // namespace morvane
// The public operations: C linkage in the global namespace, built on the internals.
using namespace morvane;

extern "C" int WINAPI GetLibraryVersion(char* buffer, int capacity) {
  EnsureLibrary();
  if (!libraryState.loadedAsLibrary) {
    return CopyVersion(MORVANE_VERSION_TEXT, sizeof MORVANE_VERSION_TEXT, buffer, capacity, 0);
  }
  return ReadModuleVersion(buffer, capacity);
}
