#include "alone_folder.h"

#include "saver_fixture.h"

std::string BuiltFolder() {
  std::string folder = ProgramFolder();
  size_t slash = folder.find_last_of('\\', folder.size() - 2);
  return slash == std::string::npos ? folder : folder.substr(0, slash + 1);
}

bool InAloneFolder() {
  return GetFileAttributesA((ProgramFolder() + "tavisk.exe").c_str()) == INVALID_FILE_ATTRIBUTES &&
         GetFileAttributesA((BuiltFolder() + "tavisk.exe").c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool CopyBuiltFileTo(const char* builtName, const std::string& target) {
  return CopyFileA((BuiltFolder() + builtName).c_str(), target.c_str(), FALSE) != 0;
}

bool CopyBuiltFile(const char* builtName, const char* nameBesideProgram) {
  return CopyBuiltFileTo(builtName, ProgramFolder() + nameBesideProgram);
}

bool RemoveFile(const std::string& path) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    if (DeleteFileA(path.c_str())) return true;
    if (GetLastError() == ERROR_FILE_NOT_FOUND) return true;
    Sleep(50);  // a process that ran the file may still be ending
  }
  return false;
}

bool RemoveFromProgramFolder(const char* name) {
  return RemoveFile(ProgramFolder() + name);
}
