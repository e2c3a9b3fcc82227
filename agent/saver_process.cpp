#include "saver_process.h"

#include <windows.h>
#include <tlhelp32.h>

namespace corners {

namespace {

bool ImageIs(DWORD processId, const char* path) {
  // Limited information is all a process of another integrity level or of a saver's secure
  // desktop grants, and all that the image's name needs.
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (!process) return false;
  char image[MAX_PATH] = {};
  DWORD size = MAX_PATH;
  bool same = QueryFullProcessImageNameA(process, 0, image, &size) && lstrcmpiA(image, path) == 0;
  CloseHandle(process);
  return same;
}

}  // namespace

bool SaverFileRuns(const char* path) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  bool found = false;
  DWORD self = GetCurrentProcessId();
  for (BOOL more = Process32First(snapshot, &entry); more && !found;
       more = Process32Next(snapshot, &entry)) {
    found = entry.th32ProcessID != self && ImageIs(entry.th32ProcessID, path);
  }
  CloseHandle(snapshot);
  return found;
}

}  // namespace corners
