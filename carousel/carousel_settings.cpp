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

}  // namespace carousel
