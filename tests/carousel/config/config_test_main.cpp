// The tests of Carousel's settings store, saver catalog and settings page. The same program is
// also the page's preview run ("/s") and, started with "/c" and CAROUSEL_SHEET_RUN=1, the
// configuration run whose sheet the CarouselSheet tests drive.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "config_support.h"

int main(int argc, char** argv) {
  if (IsPreviewRun()) return RecordPreviewRun();
  ::testing::InitGoogleTest(&argc, argv);
  std::string filter = ::testing::GTEST_FLAG(filter);
  const char* sheetRun = std::getenv("CAROUSEL_SHEET_RUN");
  if (sheetRun && std::string(sheetRun) == "1") {
    filter = "CarouselSheet.*";
  } else {
    filter += filter.find('-') == std::string::npos ? "-CarouselSheet.*" : ":CarouselSheet.*";
  }
  ::testing::GTEST_FLAG(filter) = filter;
  return RUN_ALL_TESTS();
}
