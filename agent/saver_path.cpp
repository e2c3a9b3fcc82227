#include "saver_path.h"

namespace corners {

namespace {

enum : size_t { PathLimit = 260 };

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

}  // namespace

SaverPathVerdict JudgeSaverPath(const char* text, size_t size) {
  if (!text) return SaverPathVerdict::Empty;
  size_t length = 0;
  while (length < size && text[length]) ++length;
  if (length == 0) return SaverPathVerdict::Empty;
  if (length >= PathLimit) return SaverPathVerdict::TooLong;
  for (size_t i = 0; i < length; ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c == '"' || c == '*' || c == '?' || c == '<' || c == '>' || c == '|') {
      return SaverPathVerdict::BadCharacters;
    }
  }
  bool drive = length >= 3 && IsLetter(text[0]) && text[1] == ':' && text[2] == '\\';
  bool network = length >= 3 && text[0] == '\\' && text[1] == '\\' && text[2] != '\\' &&
                 text[2] != '?' && text[2] != '.';
  if (!drive && !network) return SaverPathVerdict::NotAbsolute;
  const char suffix[] = ".scr";
  if (length < 5 || text[length - 5] == '\\') return SaverPathVerdict::NotScr;
  for (size_t i = 0; i < 4; ++i) {
    if (Lower(text[length - 4 + i]) != suffix[i]) return SaverPathVerdict::NotScr;
  }
  return SaverPathVerdict::Usable;
}

const char* VerdictText(SaverPathVerdict verdict) {
  switch (verdict) {
    case SaverPathVerdict::Usable: return "usable";
    case SaverPathVerdict::Empty: return "no saver configured";
    case SaverPathVerdict::NotAbsolute: return "not a full path";
    case SaverPathVerdict::NotScr: return "not a .scr file";
    case SaverPathVerdict::TooLong: return "path too long";
    case SaverPathVerdict::BadCharacters: return "path holds characters a file name cannot";
  }
  return "?";
}

}  // namespace corners
