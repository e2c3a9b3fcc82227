#include "saver_list.h"

#include <algorithm>

#include "carousel_settings.h"

namespace carousel {

namespace {

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return Lower(x) < Lower(y); });
}

bool Contains(const std::vector<std::string>& list, const std::string& path) {
  return std::any_of(list.begin(), list.end(),
                     [&](const std::string& item) { return SameFileName(item, path); });
}

}  // namespace

std::string FileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool SameFileName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Lower(x) == Lower(y); });
}

bool HasSaverExtension(const std::string& name) {
  return name.size() > 4 && SameFileName(name.substr(name.size() - 4), ".scr");
}

std::string NameFromFileName(const std::string& path) {
  const std::string name = FileNameOf(path);
  return HasSaverExtension(name) ? name.substr(0, name.size() - 4) : name;
}

std::vector<std::string> OrderCatalog(std::vector<CatalogEntry> entries) {
  std::vector<CatalogEntry> unique;
  for (CatalogEntry& entry : entries) {
    const bool seen = std::any_of(unique.begin(), unique.end(), [&](const CatalogEntry& kept) {
      return SameFileName(FileNameOf(kept.path), FileNameOf(entry.path));
    });
    if (!seen) unique.push_back(std::move(entry));
  }
  std::stable_sort(unique.begin(), unique.end(), [](const CatalogEntry& a, const CatalogEntry& b) {
    if (LessIgnoringCase(a.name, b.name)) return true;
    if (LessIgnoringCase(b.name, a.name)) return false;
    return LessIgnoringCase(a.path, b.path);
  });
  std::vector<std::string> paths;
  for (const CatalogEntry& entry : unique) paths.push_back(entry.path);
  return paths;
}

std::vector<PageRow> PageRows(const std::vector<std::string>& stored,
                              const std::vector<std::string>& installed) {
  std::vector<PageRow> rows;
  std::vector<std::string> listed;
  for (const std::string& path : stored) {
    if (path.empty() || Contains(listed, path)) continue;
    rows.push_back({path, true});
    listed.push_back(path);
  }
  const bool every = rows.empty();
  for (const std::string& path : installed) {
    if (Contains(listed, path)) continue;
    rows.push_back({path, every});
    listed.push_back(path);
  }
  return rows;
}

std::vector<std::string> SaversToStore(const std::vector<PageRow>& rows,
                                       const std::vector<std::string>& installed,
                                       bool everyWasStored) {
  std::vector<std::string> checked;
  for (const PageRow& row : rows) {
    if (row.checked) checked.push_back(row.path);
  }
  const bool everyInstalled =
      everyWasStored && !installed.empty() && checked.size() == installed.size() &&
      std::equal(checked.begin(), checked.end(), installed.begin(), SameFileName);
  if (everyInstalled) checked.clear();
  return checked;
}

uint32_t CycleMinutesShown(uint32_t seconds) {
  return static_cast<uint32_t>((static_cast<uint64_t>(seconds) + 59) / 60);
}

uint32_t CycleSecondsFromMinutes(uint32_t minutes, uint32_t storedSeconds) {
  if (minutes == CycleMinutesShown(storedSeconds)) return storedSeconds;
  const uint32_t longest = MaximumCycleSeconds / 60;
  return (minutes > longest ? longest : minutes) * 60;
}

}  // namespace carousel
