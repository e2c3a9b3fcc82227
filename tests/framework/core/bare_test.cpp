// The framework's code in an executable without its resources, as a saver that forgot them: the
// library still initialises, leaves out what did not load, and CheckResources says so.
#include "monitor/corner_resources.h"
#include "settings/user_settings.h"
#include "core/library.h"
#include "message_box_spy.h"
#include "settings/prefs.h"

#include <gtest/gtest.h>

using namespace morvane;

namespace {

TEST(WithoutResources, LibraryInitialisesWithEmptyMenusBitmapsAndRectangles) {
  ScrSetPrefs(ScrGetPrefs());
  ASSERT_TRUE(libraryState.initialised);
  const CornerResources& corners = Corners();
  for (HMENU menu : corners.menus) EXPECT_EQ(0, GetMenuItemCount(menu));
  EXPECT_EQ(nullptr, corners.monitorBitmap);
  EXPECT_EQ(0, corners.monitorPictureSize.cx);
  for (const RECT& rect : corners.cornerRects) EXPECT_TRUE(IsRectEmpty(&rect));
  EXPECT_TRUE(IsRectEmpty(&corners.monitorScreenRect));
  ScrSettings settings = {};
  ScrGetSettings(&settings);  // no key name: the defaults, and nothing written
  EXPECT_EQ(60, settings.passwordDelay);
  EXPECT_EQ(0, UserSettings().WriteRegistry());
}

TEST(WithoutResources, CheckResourcesShowsTheMessageWhateverDebugTraceSays) {
  StartAnsweringBoxes();
  CheckResources();
  std::vector<ShownBox> boxes = StopAnsweringBoxes();
  ASSERT_EQ(1u, boxes.size());
  EXPECT_EQ("You _MUST_ include the Morvane resources (morvane.res)", boxes[0].text);
  EXPECT_EQ("Morvane", boxes[0].caption);
}

}  // namespace
