#pragma once
// Carousel's settings as values: which savers it shows and in what order, where, and how often it
// changes. How each value is read from its stored text or bytes; no Win32 here.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace carousel {

// Each monitor shows a saver of its own, or every monitor shows the same one.
enum class MonitorChoice { Each, Same };
// The savers come in the stored list's order, or shuffled.
enum class OrderChoice { List, Random };

struct Settings {
  std::vector<std::string> savers;  // as stored: full paths in order; empty = every installed saver
  MonitorChoice monitors = MonitorChoice::Each;
  OrderChoice order = OrderChoice::List;
  uint32_t cycleSeconds = 600;  // 0 = never; stored 1..9 read as 10
};

// The shortest cycle: a saver needs some seconds to start before the next one replaces it.
constexpr uint32_t MinimumCycleSeconds = 10;
// The longest cycle the dialog offers and the store keeps (a week): beyond it, a value is a
// mistake rather than a wish, and minutes times 60 still fit in 32 bits.
constexpr uint32_t MaximumCycleSeconds = 7u * 24u * 3600u;

// "each"/"same", case-insensitive; anything else (null included) is Each.
MonitorChoice ParseMonitorChoice(const char* text);
// "list"/"random", case-insensitive; anything else (null included) is List.
OrderChoice ParseOrderChoice(const char* text);
// The stored text of a choice: "each", "same", "list", "random".
const char* MonitorChoiceText(MonitorChoice choice);
const char* OrderChoiceText(OrderChoice choice);

// 0 stays 0 (never change); 1..9 becomes 10; more than MaximumCycleSeconds becomes it.
uint32_t NormalizeCycle(uint32_t stored);

// REG_MULTI_SZ bytes to strings; safe on missing terminators, odd sizes, empty entries (an empty
// entry is skipped: the registry's own list ends at the first one). A null pointer reads as none.
std::vector<std::string> SplitMultiString(const char* data, size_t bytes);
// The bytes to store: each item with its NUL, then the final NUL (an empty list is one NUL pair).
// Empty items are left out, since they would end the list early.
std::string JoinMultiString(const std::vector<std::string>& items);

// The registry's type numbers of the values Carousel keeps.
constexpr uint32_t RegistryText = 1;        // REG_SZ
constexpr uint32_t RegistryExpandText = 2;  // REG_EXPAND_SZ
constexpr uint32_t RegistryDword = 4;       // REG_DWORD
constexpr uint32_t RegistryMultiText = 7;   // REG_MULTI_SZ

// A value as the registry hands it over (type, bytes and their number) read into its setting:
// true when it was read, false (setting untouched, why saying what is wrong) when it is of another
// type or size. "Savers" takes REG_MULTI_SZ, or REG_SZ as a list of one; "Monitors" and "Order"
// REG_SZ or REG_EXPAND_SZ, terminated or not, and only their words; "Cycle" a REG_DWORD of exactly
// four bytes, normalised.
bool DecodeSavers(uint32_t type, const char* data, size_t bytes, std::vector<std::string>* savers,
                  std::string* why);
bool DecodeMonitors(uint32_t type, const char* data, size_t bytes, MonitorChoice* choice,
                    std::string* why);
bool DecodeOrder(uint32_t type, const char* data, size_t bytes, OrderChoice* choice,
                 std::string* why);
bool DecodeCycle(uint32_t type, const unsigned char* data, size_t bytes, uint32_t* seconds,
                 std::string* why);

}  // namespace carousel
