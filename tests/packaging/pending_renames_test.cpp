#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pending_renames.h"

using namespace installer;

namespace {

const std::u16string ours = u"C:\\Windows\\System32\\glimmerbox.scr";
const std::u16string folder = u"C:\\Program Files\\Glimmerbox";

// The value's data as the registry holds it: each string with its zero, then the list's zero.
std::vector<uint8_t> Value(const std::vector<std::u16string>& strings, bool closed = true) {
  std::u16string text;
  for (const std::u16string& s : strings) text += s + u'\0';
  if (closed) text.push_back(u'\0');
  std::vector<uint8_t> bytes;
  for (char16_t c : text) {
    bytes.push_back(static_cast<uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<uint8_t>(c >> 8));
  }
  return bytes;
}

std::u16string Text(const std::vector<std::u16string>& strings) {
  std::vector<uint8_t> bytes = Value(strings);
  std::u16string text;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) text.push_back(bytes[i] | (bytes[i + 1] << 8));
  return text;
}

PendingFilter Filter(const std::vector<uint8_t>& bytes) {
  return DropPendingFor(bytes.data(), bytes.size(), {ours, folder});
}

struct Case {
  const char* what;
  std::vector<std::u16string> pending;
  PendingVerdict verdict;
  std::vector<std::u16string> kept;
};

TEST(PendingRenames, DropsOnlyThePairsThatNameWhatWasInstalled) {
  const std::u16string other = u"\\??\\C:\\Temp\\other.tmp";
  const Case cases[] = {
      {"our file's deletion, another kept",
       {u"\\??\\C:\\windows\\system32\\GLIMMERBOX.SCR", u"", other, u""},
       PendingVerdict::Changed,
       {other, u""}},
      {"a rename over our file", {other, u"!\\??\\" + ours}, PendingVerdict::Changed, {}},
      {"a rename of our file away", {u"\\??\\" + ours, other}, PendingVerdict::Changed, {}},
      {"the folder, with a backslash",
       {u"\\??\\" + folder + u"\\", u""},
       PendingVerdict::Changed,
       {}},
      {"a name that only starts like ours",
       {u"\\??\\" + ours + u".old", u""},
       PendingVerdict::Unchanged,
       {}},
      {"a file inside our folder is not the folder",
       {u"\\??\\" + folder + u"\\notes.txt", u""},
       PendingVerdict::Unchanged,
       {}},
      {"a pair after ours keeps its order",
       {other, u"", u"\\??\\" + ours, u"", u"\\??\\C:\\a", u"\\??\\C:\\b"},
       PendingVerdict::Changed,
       {other, u"", u"\\??\\C:\\a", u"\\??\\C:\\b"}},
  };
  for (const Case& c : cases) {
    PendingFilter filter = Filter(Value(c.pending));
    EXPECT_EQ(c.verdict, filter.verdict) << c.what;
    EXPECT_EQ(c.verdict == PendingVerdict::Changed && !c.kept.empty() ? Text(c.kept) : u"",
              filter.kept)
        << c.what;
  }
}

TEST(PendingRenames, BadDataIsLeftAloneOrReadNoFurtherThanItsSize) {
  std::vector<uint8_t> odd = Value({u"\\??\\" + ours, u""});
  odd.push_back(0);
  EXPECT_EQ(PendingVerdict::Malformed, Filter(odd).verdict);
  EXPECT_EQ(PendingVerdict::Unchanged, DropPendingFor(nullptr, 0, {ours}).verdict);
  EXPECT_EQ(PendingVerdict::Unchanged, Filter({}).verdict);

  // Without the list's closing zero, and cut in the middle of our name: nothing past the size.
  std::vector<uint8_t> open = Value({u"\\??\\C:\\x", u"", u"\\??\\" + ours, u""}, false);
  EXPECT_EQ(PendingVerdict::Changed, Filter(open).verdict);
  EXPECT_EQ(Text({u"\\??\\C:\\x", u""}), Filter(open).kept);
  std::vector<uint8_t> cut(open.begin(), open.end() - 6);
  EXPECT_EQ(PendingVerdict::Unchanged, Filter(cut).verdict);
  // A last string without a partner (and so without the list's zero) stays as it was.
  PendingFilter alone = Filter(Value({u"\\??\\" + ours, u"", u"\\??\\C:\\alone"}, false));
  EXPECT_EQ(PendingVerdict::Changed, alone.verdict);
  EXPECT_EQ(Text({u"\\??\\C:\\alone"}), alone.kept);
  // Closed again, a last string of ours would read as its deletion.
  PendingFilter last = Filter(Value({u"\\??\\C:\\x", u"", u"\\??\\" + ours}, false));
  EXPECT_EQ(Text({u"\\??\\C:\\x", u""}), last.kept);
}

}  // namespace
