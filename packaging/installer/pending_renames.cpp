#include "pending_renames.h"

namespace installer {

namespace {

char16_t FoldCase(char16_t c) {
  return c >= u'a' && c <= u'z' ? c - u'a' + u'A' : c;
}

std::u16string Comparable(std::u16string name) {
  while (!name.empty() && name.back() == u'\\') name.pop_back();
  for (char16_t& c : name) c = FoldCase(c);
  return name;
}

// A name as the Session Manager holds it: the replace mark and the NT prefix go.
std::u16string PlainName(const std::u16string& name) {
  size_t start = !name.empty() && name[0] == u'!' ? 1 : 0;
  if (name.compare(start, 4, u"\\??\\") == 0) start += 4;
  return Comparable(name.substr(start));
}

bool NamesOneOf(const std::u16string& name, const std::vector<std::u16string>& paths) {
  if (name.empty()) return false;
  std::u16string plain = PlainName(name);
  for (const std::u16string& path : paths) {
    if (!path.empty() && plain == Comparable(path)) return true;
  }
  return false;
}

// Every string of the data; a last one without its zero counts too.
std::vector<std::u16string> SplitStrings(const uint8_t* data, size_t units) {
  std::vector<std::u16string> strings;
  std::u16string current;
  for (size_t i = 0; i < units; ++i) {
    char16_t c = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    if (c) {
      current.push_back(c);
      continue;
    }
    strings.push_back(current);
    current.clear();
  }
  if (!current.empty()) strings.push_back(current);
  return strings;
}

}  // namespace

PendingFilter DropPendingFor(const uint8_t* data, size_t bytes,
                             const std::vector<std::u16string>& paths) {
  PendingFilter result;
  if (bytes % 2) {
    result.verdict = PendingVerdict::Malformed;
    return result;
  }
  if (!data) return result;
  std::vector<std::u16string> strings = SplitStrings(data, bytes / 2);
  // The list's own closing zero reads as a last, empty string after the last pair. Empty strings
  // elsewhere are the targets of deletions.
  if (strings.size() % 2 && strings.back().empty()) strings.pop_back();
  for (size_t i = 0; i < strings.size(); i += 2) {
    // A last string without a partner reads, once the list is closed again, as a deletion.
    bool paired = i + 1 < strings.size();
    if (NamesOneOf(strings[i], paths) || (paired && NamesOneOf(strings[i + 1], paths))) {
      ++result.droppedPairs;
      continue;
    }
    for (size_t j = i; j < i + (paired ? 2 : 1); ++j) {
      result.kept += strings[j];
      result.kept.push_back(u'\0');
    }
  }
  if (!result.droppedPairs) {
    result.kept.clear();
    return result;
  }
  if (!result.kept.empty()) result.kept.push_back(u'\0');
  result.verdict = PendingVerdict::Changed;
  return result;
}

}  // namespace installer
