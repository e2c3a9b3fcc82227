#include "switches.h"

namespace corners {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The words of the text, each as start and length; false when there are more than capacity.
struct Words {
  const char* start[3];
  size_t length[3];
  int count;
};

bool SplitWords(const char* text, size_t size, Words* words) {
  words->count = 0;
  size_t i = 0;
  while (i < size && text[i]) {
    if (IsBlank(text[i])) {
      ++i;
      continue;
    }
    if (words->count == 3) return false;
    size_t begin = i;
    while (i < size && text[i] && !IsBlank(text[i])) ++i;
    words->start[words->count] = text + begin;
    words->length[words->count] = i - begin;
    ++words->count;
  }
  return true;
}

bool SameWord(const char* word, size_t length, const char* name) {
  size_t i = 0;
  for (; i < length; ++i) {
    if (!name[i] || Lower(word[i]) != name[i]) return false;
  }
  return name[i] == 0;
}

// Decimal digits only, 1 to MaxPauseMinutesSwitch.
bool ReadMinutes(const char* word, size_t length, uint32_t* minutes) {
  if (length == 0 || length > 6) return false;
  uint32_t value = 0;
  for (size_t i = 0; i < length; ++i) {
    if (word[i] < '0' || word[i] > '9') return false;
    value = value * 10 + static_cast<uint32_t>(word[i] - '0');
  }
  if (value < 1 || value > MaxPauseMinutesSwitch) return false;
  *minutes = value;
  return true;
}

struct Named {
  const char* name;
  Command command;
};

const Named commands[] = {
    {"start", Command::Run},         {"now", Command::Now},
    {"pause", Command::Pause},       {"resume", Command::Resume},
    {"settings", Command::Settings}, {"quit", Command::Quit},
    {"install", Command::Install},   {"uninstall", Command::Uninstall},
};

// The rest of word after prefix ("corners:"), the switch's character already skipped; false when
// word does not start with it or nothing follows.
bool AfterPrefix(const char* word, size_t length, const char* prefix, const char** rest,
                 size_t* restLength) {
  size_t prefixLength = 0;
  while (prefix[prefixLength]) ++prefixLength;
  if (length <= prefixLength) return false;
  for (size_t i = 0; i < prefixLength; ++i) {
    if (Lower(word[i]) != prefix[i]) return false;
  }
  *rest = word + prefixLength;
  *restLength = length - prefixLength;
  return true;
}

// A word with a colon and its choice: /corners:each|desktop, /gamepads:on|off. Invalid when the
// prefix fits and the choice does not; Run (standing for "none of these") when no prefix fits.
Switches ReadChoiceSwitch(const char* word, size_t length) {
  const char* rest;
  size_t restLength;
  if (AfterPrefix(word, length, "corners:", &rest, &restLength)) {
    if (SameWord(rest, restLength, "each")) return {Command::Corners, 0, morvane::CornerMode::Each};
    if (SameWord(rest, restLength, "desktop")) {
      return {Command::Corners, 0, morvane::CornerMode::Desktop};
    }
    return {Command::Invalid, 0};
  }
  if (AfterPrefix(word, length, "gamepads:", &rest, &restLength)) {
    Switches gamepads = {Command::Gamepads, 0};
    if (SameWord(rest, restLength, "on")) return gamepads;
    gamepads.gamepads = false;
    if (SameWord(rest, restLength, "off")) return gamepads;
    return {Command::Invalid, 0};
  }
  return {Command::Run, 0};
}

}  // namespace

Switches ParseSwitches(const char* text, size_t size) {
  Switches invalid = {Command::Invalid, 0};
  Words words;
  if (!text || !SplitWords(text, size, &words)) return invalid;
  if (words.count == 0) return {Command::Run, 0};
  const char* word = words.start[0];
  size_t length = words.length[0];
  if (length < 2 || (word[0] != '/' && word[0] != '-')) return invalid;
  Switches choice = ReadChoiceSwitch(word + 1, length - 1);
  if (choice.command != Command::Run) return words.count == 1 ? choice : invalid;
  for (const Named& entry : commands) {
    if (!SameWord(word + 1, length - 1, entry.name)) continue;
    Switches result = {entry.command, 0};
    if (entry.command == Command::Pause && words.count == 2) {
      if (!ReadMinutes(words.start[1], words.length[1], &result.pauseMinutes)) return invalid;
      return result;
    }
    return words.count == 1 ? result : invalid;
  }
  return invalid;
}

const char* SkipProgramName(const char* commandLine) {
  if (!commandLine) return "";
  const char* p = commandLine;
  while (IsBlank(*p)) ++p;
  if (*p == '"') {
    ++p;
    while (*p && *p != '"') ++p;
    if (*p == '"') ++p;
  } else {
    while (*p && !IsBlank(*p)) ++p;
  }
  return p;
}

}  // namespace corners
