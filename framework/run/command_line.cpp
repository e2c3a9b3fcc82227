#include "run/command_line.h"

#include "core/scan_integer.h"

namespace morvane {

namespace {

const char* SkipProgramName(const char* p) {
  if (*p == '"') {
    ++p;
    while (*p && *p != '"') ++p;
    return *p ? p + 1 : nullptr;
  }
  while (*p && *p != ' ') ++p;
  return p;
}

const char* SkipSpaces(const char* p) {
  while (*p == ' ') ++p;
  return p;
}

// Reads the window number of P, L and A: after the letter, any spaces and colons, then "%i".
void ReadSwitchNumber(const char* letter, SaverCommand& command) {
  const char* p = letter + 1;
  while (*p == ' ' || *p == ':') ++p;
  if (!*p) return;
  command.hasNumber = ReadScanfInteger(p, nullptr, &command.number);
}

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

}  // namespace

SaverCommand ParseCommandLine(const char* commandLine) {
  SaverCommand command;
  if (!commandLine) return command;
  const char* p = SkipProgramName(commandLine);
  if (!p) return command;
  p = SkipSpaces(p);
  if (!*p) {
    command.action = SaverAction::Configure;
    return command;
  }
  if (*p == '-') ++p;
  if (*p == '/') ++p;
  switch (LowerAscii(*p)) {
    case 's': command.action = SaverAction::FullScreen; break;
    case 'p':
    case 'l':
      command.action = SaverAction::Preview;
      command.switchText = p;
      ReadSwitchNumber(p, command);
      break;
    case 'a':
      command.action = SaverAction::ChangePassword;
      ReadSwitchNumber(p, command);
      break;
    case 'c':
      command.action = SaverAction::Configure;
      command.overForeground = true;
      break;
    default: break;
  }
  return command;
}

bool NamesCompanion(const char* switchText, const char* name) {
  if (!switchText || !*switchText || !name || !*name) return false;
  const char* text = switchText + 1;
  // Directly after the letter the argument is one word; after a space it is the rest of the line.
  const bool oneWord = *text != ' ';
  text = SkipSpaces(text);
  // The letter and the compared text must fit the working copy, or the name is not there.
  int length = 0;
  while (text[length] && !(oneWord && text[length] == ' ')) {
    if (++length > CompanionCopyCapacity - 2) return false;
  }
  for (int i = 0; i < length; ++i) {
    if (!name[i] || LowerAscii(text[i]) != LowerAscii(name[i])) return false;
  }
  return name[length] == 0;
}

}  // namespace morvane
