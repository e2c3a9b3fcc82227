// Carousel's settings values, registry decoding, rotation and saver lists, under the sanitizers.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "carousel_settings.h"
#include "pe_header.h"
#include "rotation.h"
#include "saver_list.h"

using namespace carousel;

namespace {

using Strings = std::vector<std::string>;

// The bytes in a block of exactly their size, so that a read past them is caught.
std::unique_ptr<char[]> Exact(const std::string& bytes) {
  auto block = std::make_unique<char[]>(bytes.size() ? bytes.size() : 1);
  std::memcpy(block.get(), bytes.data(), bytes.size());
  return block;
}

TEST(CarouselSettings, ChoicesReadTheirWordsInAnyCaseAndFallBackToTheDefault) {
  const struct {
    const char* text;
    MonitorChoice monitors;
    OrderChoice order;
  } cases[] = {
      {"SAME", MonitorChoice::Same, OrderChoice::List},
      {"Random", MonitorChoice::Each, OrderChoice::Random},
      {"samex", MonitorChoice::Each, OrderChoice::List},
      {" random", MonitorChoice::Each, OrderChoice::List},
      {nullptr, MonitorChoice::Each, OrderChoice::List},
  };
  for (const auto& c : cases) {
    const char* shown = c.text ? c.text : "(null)";
    EXPECT_EQ(c.monitors, ParseMonitorChoice(c.text)) << shown;
    EXPECT_EQ(c.order, ParseOrderChoice(c.text)) << shown;
  }
  for (MonitorChoice m : {MonitorChoice::Each, MonitorChoice::Same})
    EXPECT_EQ(m, ParseMonitorChoice(MonitorChoiceText(m)));
  for (OrderChoice o : {OrderChoice::List, OrderChoice::Random})
    EXPECT_EQ(o, ParseOrderChoice(OrderChoiceText(o)));
}

TEST(CarouselSettings, CyclesBelowTenSecondsBecomeTenAndHugeOnesAWeek) {
  const struct {
    uint32_t stored, seconds;
  } cases[] = {{0, 0},     {1, 10},          {9, 10},          {10, 10},
               {600, 600}, {604800, 604800}, {604801, 604800}, {0xFFFFFFFFu, 604800}};
  for (const auto& c : cases) EXPECT_EQ(c.seconds, NormalizeCycle(c.stored)) << c.stored;
}

TEST(CarouselSettings, MultiStringsSplitSafelyWhateverTheirEndAndJoinBack) {
  const struct {
    std::string bytes;
    Strings items;
  } cases[] = {
      {std::string("a\0bc\0\0", 6), {"a", "bc"}},
      {std::string("a\0bc\0", 5), {"a", "bc"}},  // the final NUL missing
      {std::string("a\0bc", 4), {"a", "bc"}},    // both missing
      {std::string("\0\0", 2), {}},
      {std::string("\0", 1), {}},
      {std::string(), {}},
      {std::string("a\0\0b\0\0", 6), {"a"}},  // an empty entry ends the list
      {std::string("\0a\0\0", 4), {}},
      {std::string("C:\\x.scr\0\0\0\0\0", 13), {"C:\\x.scr"}},  // odd size, padding
  };
  for (const auto& c : cases) {
    auto block = Exact(c.bytes);
    EXPECT_EQ(c.items, SplitMultiString(block.get(), c.bytes.size())) << c.bytes.size();
  }
  EXPECT_TRUE(SplitMultiString(nullptr, 8).empty());
  // Written lists read back as they were, less the entries that would end them early.
  EXPECT_EQ(std::string("a\0bc\0\0", 6), JoinMultiString({"a", "bc"}));
  EXPECT_EQ(std::string("\0\0", 2), JoinMultiString({}));
  const std::string joined = JoinMultiString({"a", "", std::string("b\0c", 3), "d"});
  EXPECT_EQ((Strings{"a", "b", "d"}), SplitMultiString(joined.data(), joined.size()));
}

TEST(CarouselSettings, RegistryValuesOfTheWrongTypeOrSizeLeaveTheSettingAlone) {
  const std::string list("a\0b\0\0", 5);
  Strings savers = {"kept"};
  std::string why;
  EXPECT_TRUE(DecodeSavers(RegistryMultiText, list.data(), list.size(), &savers, &why));
  EXPECT_EQ((Strings{"a", "b"}), savers);
  EXPECT_TRUE(DecodeSavers(RegistryText, "C:\\one.scr", 10, &savers, &why));
  EXPECT_EQ((Strings{"C:\\one.scr"}), savers);
  savers = {"kept"};
  EXPECT_FALSE(DecodeSavers(RegistryDword, "\1\0\0\0", 4, &savers, &why));
  EXPECT_EQ((Strings{"kept"}), savers);
  EXPECT_FALSE(why.empty());

  const struct {
    uint32_t type;
    std::string bytes;
    bool read;
    MonitorChoice monitors;
  } texts[] = {
      {RegistryText, "same", true, MonitorChoice::Same},  // no terminator
      {RegistryExpandText, "Each", true, MonitorChoice::Each},
      {RegistryText, std::string("same\0junk", 9), true, MonitorChoice::Same},
      {RegistryText, "", false, MonitorChoice::Same},
      {RegistryMultiText, std::string("same\0\0", 6), false, MonitorChoice::Same},
  };
  for (const auto& c : texts) {
    MonitorChoice monitors = MonitorChoice::Same;
    auto block = Exact(c.bytes);
    why.clear();
    EXPECT_EQ(c.read, DecodeMonitors(c.type, block.get(), c.bytes.size(), &monitors, &why))
        << c.bytes;
    EXPECT_EQ(c.monitors, monitors) << c.bytes;
    EXPECT_EQ(c.read, why.empty()) << c.bytes;
  }
  OrderChoice order = OrderChoice::List;
  EXPECT_TRUE(DecodeOrder(RegistryText, "RANDOM", 6, &order, &why));
  EXPECT_EQ(OrderChoice::Random, order);
  EXPECT_FALSE(DecodeOrder(RegistryText, "shuffle", 7, &order, &why));
  EXPECT_EQ(OrderChoice::Random, order);

  const struct {
    uint32_t type;
    std::string bytes;
    bool read;
    uint32_t seconds;
  } cycles[] = {
      {RegistryDword, std::string("\x2c\x01\0\0", 4), true, 300},
      {RegistryDword, std::string("\5\0\0\0", 4), true, 10},
      {RegistryDword, std::string("\0\0\0\0", 4), true, 0},
      {RegistryDword, std::string("\xff\xff\xff\xff", 4), true, MaximumCycleSeconds},
      {RegistryDword, std::string("\x2c\x01\0", 3), false, 77},
      {RegistryDword, std::string("\x2c\x01\0\0\0", 5), false, 77},
      {RegistryText, std::string("300\0", 4), false, 77},
  };
  for (const auto& c : cycles) {
    uint32_t seconds = 77;
    auto block = Exact(c.bytes);
    EXPECT_EQ(c.read, DecodeCycle(c.type, reinterpret_cast<const unsigned char*>(block.get()),
                                  c.bytes.size(), &seconds, &why))
        << c.bytes.size();
    EXPECT_EQ(c.seconds, seconds) << c.bytes.size();
  }
}

TEST(Rotation, ListOrderWrapsAndOneSaverRepeats) {
  Rotation list(3, OrderChoice::List, 1);
  std::vector<size_t> seen;
  for (int i = 0; i < 7; ++i) seen.push_back(list.Next());
  EXPECT_EQ((std::vector<size_t>{0, 1, 2, 0, 1, 2, 0}), seen);
  for (OrderChoice order : {OrderChoice::List, OrderChoice::Random}) {
    Rotation one(1, order, 5);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(0u, one.Next());
  }
}

// Over many seeds and sizes: every bag holds each saver once, and no saver follows itself, not
// even where one bag ends and the next begins.
TEST(Rotation, RandomShowsEverySaverOnceABagAndNeverTheSameTwiceInARow) {
  std::set<std::vector<size_t>> firstBags;
  for (size_t count : {2u, 3u, 5u, 16u}) {
    for (uint32_t seed = 0; seed < 200; ++seed) {
      Rotation random(count, OrderChoice::Random, seed);
      size_t previous = count;
      for (int bag = 0; bag < 4; ++bag) {
        std::vector<size_t> drawn;
        for (size_t i = 0; i < count; ++i) {
          const size_t next = random.Next();
          ASSERT_LT(next, count);
          ASSERT_NE(previous, next) << "count " << count << " seed " << seed;
          previous = next;
          drawn.push_back(next);
        }
        if (count == 5 && bag == 0) firstBags.insert(drawn);
        std::sort(drawn.begin(), drawn.end());
        for (size_t i = 0; i < count; ++i) ASSERT_EQ(i, drawn[i]) << "seed " << seed;
      }
    }
  }
  // A shuffle, not a fixed order: of 120 orders of five, 200 seeds reach most.
  EXPECT_GT(firstBags.size(), 60u);
}

TEST(PeHeader, OnlyAnMzHeaderPointingInsideTheFileCounts) {
  std::vector<unsigned char> head(DosHeaderSize, 0);
  head[0] = 'M';
  head[1] = 'Z';
  head[60] = 0x80;  // the PE header at 128
  uint32_t offset = 0;
  std::string why;
  EXPECT_TRUE(FindPeHeader(head.data(), head.size(), 128 + PeHeaderSize, &offset, &why));
  EXPECT_EQ(128u, offset);
  EXPECT_FALSE(FindPeHeader(head.data(), head.size(), 128 + PeHeaderSize - 1, &offset, &why));
  head[60] = 0xF0;  // 0xFFFFFFF0: the sum must not wrap to a small offset
  head[61] = head[62] = head[63] = 0xFF;
  EXPECT_FALSE(FindPeHeader(head.data(), head.size(), 4096, &offset, &why));
  EXPECT_FALSE(why.empty());
  head[60] = 0x80;
  head[61] = head[62] = head[63] = 0;
  EXPECT_FALSE(FindPeHeader(head.data(), head.size() - 1, 4096, &offset, &why));
  head[1] = 'X';
  EXPECT_FALSE(FindPeHeader(head.data(), head.size(), 4096, &offset, &why));
  EXPECT_FALSE(FindPeHeader(nullptr, 0, 4096, &offset, nullptr));
  EXPECT_TRUE(IsPeSignature(reinterpret_cast<const unsigned char*>("PE\0\0"), 4));
  EXPECT_FALSE(IsPeSignature(reinterpret_cast<const unsigned char*>("PE\0\0"), 3));
  EXPECT_FALSE(IsPeSignature(reinterpret_cast<const unsigned char*>("PE\0x"), 4));
}

TEST(SaverList, NamesComeFromTheFileWhenTheSaverGivesNone) {
  const struct {
    const char* path;
    const char* name;
    bool saver;
  } cases[] = {
      {"C:\\windows\\system32\\Ribbons.scr", "Ribbons", true},
      {"C:/x/BUBBLES.SCR", "BUBBLES", true},
      {"plain.scr", "plain", true},
      {"C:\\x\\.scr", ".scr", false},
      {"C:\\x\\notes.scrap", "notes.scrap", false},
      {"C:\\x.scr\\tool.exe", "tool.exe", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.name, NameFromFileName(c.path)) << c.path;
    EXPECT_EQ(c.saver, HasSaverExtension(FileNameOf(c.path))) << c.path;
  }
}

TEST(SaverList, TheCatalogSortsByNameAndKeepsTheFirstFolderOfEachFile) {
  const std::vector<CatalogEntry> found = {
      {"C:\\windows\\system32\\mystify.scr", "Mystify"},
      {"C:\\windows\\system32\\bubbles.scr", "bubbles"},
      {"C:\\windows\\system32\\zz.scr", "Aurora"},
      {"C:\\windows\\Bubbles.SCR", "Bubbles (old)"},
      {"C:\\windows\\aurora.scr", "Aurora"},
  };
  EXPECT_EQ((Strings{"C:\\windows\\aurora.scr", "C:\\windows\\system32\\zz.scr",
                     "C:\\windows\\system32\\bubbles.scr", "C:\\windows\\system32\\mystify.scr"}),
            OrderCatalog(found));
}

TEST(SaverList, PageRowsAndWhatTheyStoreRoundTrip) {
  const Strings installed = {"C:\\s\\a.scr", "C:\\s\\b.scr", "C:\\s\\c.scr"};
  const struct {
    const char* row;
    Strings stored;
    std::vector<std::pair<std::string, bool>> rows;
  } cases[] = {
      {"empty: every installed one, checked",
       {},
       {{"C:\\s\\a.scr", true}, {"C:\\s\\b.scr", true}, {"C:\\s\\c.scr", true}}},
      {"stored first in their order, the rest unchecked",
       {"C:\\s\\c.scr", "D:\\own\\x.scr", "C:\\S\\A.SCR"},
       {{"C:\\s\\c.scr", true},
        {"D:\\own\\x.scr", true},
        {"C:\\S\\A.SCR", true},
        {"C:\\s\\b.scr", false}}},
      {"a path stored twice is listed once",
       {"C:\\s\\b.scr", "c:\\s\\b.scr"},
       {{"C:\\s\\b.scr", true}, {"C:\\s\\a.scr", false}, {"C:\\s\\c.scr", false}}},
  };
  for (const auto& c : cases) {
    const std::vector<PageRow> rows = PageRows(c.stored, installed);
    ASSERT_EQ(c.rows.size(), rows.size()) << c.row;
    for (size_t i = 0; i < rows.size(); ++i) {
      EXPECT_EQ(c.rows[i].first, rows[i].path) << c.row << " " << i;
      EXPECT_EQ(c.rows[i].second, rows[i].checked) << c.row << " " << i;
    }
  }
  // Every installed saver in the catalog's order stays "every saver" when that was stored; a stored
  // list stays a list even when it names them all; any other choice is stored as it is.
  std::vector<PageRow> rows = PageRows({}, installed);
  EXPECT_TRUE(SaversToStore(rows, installed, true).empty());
  EXPECT_EQ(installed, SaversToStore(rows, installed, false));
  std::swap(rows[0], rows[1]);
  const Strings swapped = {"C:\\s\\b.scr", "C:\\s\\a.scr", "C:\\s\\c.scr"};
  EXPECT_EQ(swapped, SaversToStore(rows, installed, true));
  rows[2].checked = false;
  EXPECT_EQ((Strings{"C:\\s\\b.scr", "C:\\s\\a.scr"}), SaversToStore(rows, installed, true));
}

TEST(SaverList, TheCycleBoxShowsWholeMinutesAndKeepsUntouchedSeconds) {
  const struct {
    uint32_t stored, shown, typed, seconds;
  } cases[] = {
      {600, 10, 10, 600}, {10, 1, 1, 10},  {90, 2, 2, 90}, {90, 2, 1, 60},
      {0, 0, 0, 0},       {600, 10, 0, 0}, {0, 0, 3, 180}, {600, 10, 99999999, MaximumCycleSeconds},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.shown, CycleMinutesShown(c.stored)) << c.stored;
    EXPECT_EQ(c.seconds, CycleSecondsFromMinutes(c.typed, c.stored)) << c.stored << " " << c.typed;
  }
  EXPECT_EQ(71582789u, CycleMinutesShown(0xFFFFFFFFu));
}

}  // namespace
