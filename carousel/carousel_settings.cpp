#include "carousel_settings.h"

#include <cctype>

namespace carousel {

namespace {

bool SameWord(const char* text, const char* word) {
  if (!text) return false;
  for (; *text && *word; ++text, ++word) {
    if (std::tolower(static_cast<unsigned char>(*text)) != *word) return false;
  }
  return *text == '\0' && *word == '\0';
}

}  // namespace

MonitorChoice ParseMonitorChoice(const char* text) {
  return SameWord(text, "same") ? MonitorChoice::Same : MonitorChoice::Each;
}

OrderChoice ParseOrderChoice(const char* text) {
  return SameWord(text, "random") ? OrderChoice::Random : OrderChoice::List;
}

const char* MonitorChoiceText(MonitorChoice choice) {
  return choice == MonitorChoice::Same ? "same" : "each";
}

const char* OrderChoiceText(OrderChoice choice) {
  return choice == OrderChoice::Random ? "random" : "list";
}

uint32_t NormalizeCycle(uint32_t stored) {
  if (stored == 0) return 0;
  if (stored < MinimumCycleSeconds) return MinimumCycleSeconds;
  if (stored > MaximumCycleSeconds) return MaximumCycleSeconds;
  return stored;
}

std::vector<std::string> SplitMultiString(const char* data, size_t bytes) {
  std::vector<std::string> items;
  if (!data) return items;
  size_t start = 0;
  for (size_t i = 0; i <= bytes; ++i) {
    // The end of the bytes ends an entry whose terminator is missing.
    if (i < bytes && data[i] != '\0') continue;
    if (i == start) break;  // an empty entry: the list's end
    items.emplace_back(data + start, i - start);
    start = i + 1;
  }
  return items;
}

std::string JoinMultiString(const std::vector<std::string>& items) {
  std::string joined;
  for (const std::string& item : items) {
    // An entry with a NUL inside would read back as two.
    const std::string entry = item.substr(0, item.find('\0'));
    if (entry.empty()) continue;
    joined += entry;
    joined += '\0';
  }
  if (joined.empty()) joined += '\0';
  joined += '\0';
  return joined;
}

namespace {

void Say(std::string* why, const std::string& text) {
  if (why) *why = text;
}

bool IsText(uint32_t type) {
  return type == RegistryText || type == RegistryExpandText;
}

// The text up to its first NUL or the end of the bytes, whichever comes first.
std::string TextOf(const char* data, size_t bytes) {
  if (!data) return std::string();
  size_t length = 0;
  while (length < bytes && data[length] != '\0') ++length;
  return std::string(data, length);
}

// A choice's text: one of its two words, or nothing read.
bool DecodeWord(uint32_t type, const char* data, size_t bytes, const char* first,
                const char* second, bool* isSecond, std::string* why) {
  if (!IsText(type)) {
    Say(why, "not a text value");
    return false;
  }
  const std::string text = TextOf(data, bytes);
  if (!SameWord(text.c_str(), first) && !SameWord(text.c_str(), second)) {
    Say(why, "\"" + text.substr(0, 40) + "\" is neither \"" + first + "\" nor \"" + second + "\"");
    return false;
  }
  *isSecond = SameWord(text.c_str(), second);
  return true;
}

}  // namespace

bool DecodeSavers(uint32_t type, const char* data, size_t bytes, std::vector<std::string>* savers,
                  std::string* why) {
  if (type == RegistryMultiText) {
    *savers = SplitMultiString(data, bytes);
    return true;
  }
  if (IsText(type)) {
    const std::string path = TextOf(data, bytes);
    savers->clear();
    if (!path.empty()) savers->push_back(path);
    return true;
  }
  Say(why, "not a list of texts");
  return false;
}

bool DecodeMonitors(uint32_t type, const char* data, size_t bytes, MonitorChoice* choice,
                    std::string* why) {
  bool same = false;
  if (!DecodeWord(type, data, bytes, "each", "same", &same, why)) return false;
  *choice = same ? MonitorChoice::Same : MonitorChoice::Each;
  return true;
}

bool DecodeOrder(uint32_t type, const char* data, size_t bytes, OrderChoice* choice,
                 std::string* why) {
  bool random = false;
  if (!DecodeWord(type, data, bytes, "list", "random", &random, why)) return false;
  *choice = random ? OrderChoice::Random : OrderChoice::List;
  return true;
}

bool DecodeCycle(uint32_t type, const unsigned char* data, size_t bytes, uint32_t* seconds,
                 std::string* why) {
  if (type != RegistryDword || bytes != 4 || !data) {
    Say(why, "not a 32-bit number");
    return false;
  }
  const uint32_t stored = static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8 |
                          static_cast<uint32_t>(data[2]) << 16 |
                          static_cast<uint32_t>(data[3]) << 24;
  *seconds = NormalizeCycle(stored);
  return true;
}

}  // namespace carousel
