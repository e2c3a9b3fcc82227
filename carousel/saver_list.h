#pragma once
// The lists of savers the catalog and the configuration page build: names from paths, the
// installed savers in the order the user reads them, and the page's rows against what is stored.
// No Win32 here.
#include <cstdint>
#include <string>
#include <vector>

namespace carousel {

// The part after the last '\' or '/'.
std::string FileNameOf(const std::string& path);
// The file name without a final ".scr" (any case): the name of a saver that gives none.
std::string NameFromFileName(const std::string& path);
// The name ends in ".scr", in any case, with something before it.
bool HasSaverExtension(const std::string& name);
// Compared as Windows compares file names in these lists: ASCII letters without regard to case.
bool SameFileName(const std::string& a, const std::string& b);

struct CatalogEntry {
  std::string path;
  std::string name;  // what the user reads in the list
};

// One entry per file name (the first found wins: the folders are searched in the system's
// order), sorted by name without regard to case, then by path; the paths in that order.
std::vector<std::string> OrderCatalog(std::vector<CatalogEntry> entries);

struct PageRow {
  std::string path;
  bool checked;
};

// The configuration page's rows: an empty stored list means every installed saver, all checked
// in the catalog's order; otherwise the stored ones first, checked, in their order (each path
// once), then the other installed ones unchecked.
std::vector<PageRow> PageRows(const std::vector<std::string>& stored,
                              const std::vector<std::string>& installed);

// What the page stores: the checked paths in order; or, when every saver was stored (the empty
// list) and the rows still check exactly every installed saver in the catalog's order, the empty
// list again, so that savers installed later keep joining in. A list the user stored stays a list.
std::vector<std::string> SaversToStore(const std::vector<PageRow>& rows,
                                       const std::vector<std::string>& installed,
                                       bool everyWasStored);

// The cycle as the page shows it in whole minutes: rounded up, so that no stored cycle reads as
// "never" (0).
uint32_t CycleMinutesShown(uint32_t seconds);
// The seconds to store for the minutes in the box: the stored seconds when the box still shows
// them, else the minutes (held to the longest cycle) in seconds.
uint32_t CycleSecondsFromMinutes(uint32_t minutes, uint32_t storedSeconds);

}  // namespace carousel
