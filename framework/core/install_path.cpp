#include "core/install_path.h"

#include "core/bounded_text.h"

#include <cstring>

namespace morvane {

namespace {

enum { PathCapacity = 400 };  // 399 characters and the zero, as the system calls fill them

// Blanks the drive and folds ASCII case the way the check compares.
void NormalisePath(char* path, bool upper) {
  for (size_t i = 0; path[i]; ++i) {
    char c = path[i];
    if (i < 2) c = ' ';
    else if (upper && c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    else if (!upper && c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    path[i] = c;
  }
}

}  // namespace

bool IsInstalledLocation(const char* moduleFileName, const char* windowsDirectory, char* expected,
                         size_t capacity) {
  char wanted[PathCapacity];
  size_t length = CopyText(wanted, sizeof wanted, windowsDirectory, PathCapacity);
  if (length == 0 || wanted[length - 1] != '\\') AppendText(wanted, sizeof wanted, "\\");
  AppendText(wanted, sizeof wanted, "morvane.dll");
  char actual[PathCapacity];
  CopyText(actual, sizeof actual, moduleFileName, PathCapacity);

  NormalisePath(wanted, true);
  NormalisePath(actual, true);
  bool same = std::strcmp(wanted, actual) == 0;
  NormalisePath(wanted, false);
  CopyText(expected, capacity, wanted, PathCapacity);
  return same;
}

}  // namespace morvane
