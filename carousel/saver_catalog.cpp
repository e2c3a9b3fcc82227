#include "saver_catalog.h"

#include <windows.h>

#include "trace.h"
#include "pe_header.h"
#include "saver_list.h"

namespace carousel {

namespace {

// Carousel's own string 1: a copy of it under another file name is still Carousel, and running
// itself inside itself would only multiply processes.
const char carouselName[] = "Carousel";

std::vector<std::string> SaverFolders() {
  std::vector<std::string> folders;
  char folder[MAX_PATH];
  UINT length = GetSystemDirectoryA(folder, sizeof folder);
  if (length > 0 && length < sizeof folder) folders.emplace_back(folder, length);
  length = GetWindowsDirectoryA(folder, sizeof folder);
  if (length > 0 && length < sizeof folder) folders.emplace_back(folder, length);
  return folders;
}

std::string JoinPath(const std::string& folder, const char* name) {
  if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) return folder + name;
  return folder + '\\' + name;
}

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  HANDLE get() const { return handle_; }
  bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

HANDLE OpenForReading(const std::string& path) {
  return CreateFileA(path.c_str(), GENERIC_READ,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool ReadAt(HANDLE file, uint64_t offset, unsigned char* buffer, DWORD size, DWORD* read) {
  LARGE_INTEGER position;
  position.QuadPart = static_cast<LONGLONG>(offset);
  return SetFilePointerEx(file, position, nullptr, FILE_BEGIN) &&
         ReadFile(file, buffer, size, read, nullptr);
}

bool Say(std::string* why, const std::string& text) {
  if (why) *why = text;
  return false;
}

bool IsProgramFile(HANDLE file, std::string* why) {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file, &size)) return Say(why, "its size cannot be read");
  unsigned char head[DosHeaderSize] = {};
  DWORD read = 0;
  if (!ReadAt(file, 0, head, sizeof head, &read)) return Say(why, "cannot be read");
  uint32_t peOffset = 0;
  if (!FindPeHeader(head, read, static_cast<uint64_t>(size.QuadPart), &peOffset, why)) return false;
  unsigned char signature[4] = {};
  if (!ReadAt(file, peOffset, signature, sizeof signature, &read) ||
      !IsPeSignature(signature, read))
    return Say(why, "not a Windows program (no PE header where its MZ header points)");
  return true;
}

// The same file as the running program, whatever the path's spelling (short names, case).
bool IsRunningProgram(HANDLE file) {
  char own[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, own, sizeof own);
  if (length == 0 || length >= sizeof own) return false;
  FileHandle self(OpenForReading(own));
  BY_HANDLE_FILE_INFORMATION a, b;
  if (!self.ok() || !GetFileInformationByHandle(file, &a) ||
      !GetFileInformationByHandle(self.get(), &b))
    return false;
  return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

// String 1 of the program's resources, empty when it has none or cannot be loaded.
std::string StringOne(const std::string& path) {
  // NOTE: as an image resource too, so that a saver of the other word size opens as well.
  HMODULE module = LoadLibraryExA(path.c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!module) module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return std::string();
  char text[256] = {};
  const int length = LoadStringA(module, 1, text, sizeof text);
  FreeLibrary(module);
  return length > 0 ? std::string(text, static_cast<size_t>(length)) : std::string();
}

}  // namespace

std::string SaverDisplayName(const std::string& path) {
  const std::string name = StringOne(path);
  return name.empty() ? NameFromFileName(path) : name;
}

bool IsUsableSaver(const std::string& path, std::string* why) {
  if (path.empty()) return Say(why, "no path");
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Say(why, "missing");
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return Say(why, "a folder");
  FileHandle file(OpenForReading(path));
  if (!file.ok())
    return Say(why, "cannot be opened (error " + std::to_string(GetLastError()) + ")");
  if (!IsProgramFile(file.get(), why)) return false;
  if (IsRunningProgram(file.get()) || StringOne(path) == carouselName)
    return Say(why, "Carousel itself");
  return true;
}

std::vector<std::string> InstalledSaversIn(const std::vector<std::string>& folders) {
  std::vector<CatalogEntry> entries;
  for (const std::string& folder : folders) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(JoinPath(folder, "*.scr").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) continue;
    do {
      // NOTE: the pattern also matches long names whose short name ends in .scr ("x.scrap").
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
          !HasSaverExtension(found.cFileName))
        continue;
      const std::string path = JoinPath(folder, found.cFileName);
      std::string why;
      if (!IsUsableSaver(path, &why)) {
        Trace("not listed: %s: %s", path.c_str(), why.c_str());
        continue;
      }
      entries.push_back({path, SaverDisplayName(path)});
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  return OrderCatalog(std::move(entries));
}

std::vector<std::string> InstalledSavers() {
  return InstalledSaversIn(SaverFolders());
}

std::vector<std::string> UsableSavers(const Settings& settings) {
  const std::vector<std::string> chosen =
      settings.savers.empty() ? InstalledSavers() : settings.savers;
  std::vector<std::string> usable;
  for (const std::string& path : chosen) {
    std::string why;
    if (IsUsableSaver(path, &why)) {
      usable.push_back(path);
    } else {
      Trace("skipped %s: %s", path.c_str(), why.c_str());
    }
  }
  if (usable.empty()) Trace("no usable saver: every monitor stays black");
  return usable;
}

}  // namespace carousel
