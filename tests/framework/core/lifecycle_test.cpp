// The framework linked into an executable: the first public call initialises it with the default
// preferences and the monitor classes, and the first use of the corner menus, bitmaps and
// rectangles builds them; CloseLibrary releases them all, and they are built again as before. The
// tests run in order in one fresh process, since the library state is process-wide.
#include "monitor/corner_resources.h"
#include "core/library.h"
#include "morvane.h"

#include <gtest/gtest.h>

using namespace morvane;

namespace {

bool ClassRegistered(const char* name, UINT* style) {
  WNDCLASSEXA info = {};
  info.cbSize = sizeof info;
  if (!GetClassInfoExA(GetModuleHandleA(nullptr), name, &info)) return false;
  *style = info.style;
  return info.hbrBackground == GetStockObject(NULL_BRUSH) && !info.hIcon && !info.hCursor;
}

TEST(Lifecycle, FirstPublicCallInitialisesWithDefaultPrefs) {
  ASSERT_FALSE(libraryState.initialised);
  ScrPrefs* prefs = ScrGetPrefs();
  ASSERT_NE(nullptr, prefs);
  EXPECT_TRUE(libraryState.initialised);
  EXPECT_EQ(GetModuleHandleA(nullptr), libraryState.module);
  const int flags[] = {prefs->allowActiveConfig, prefs->offerMuteSound,
                       prefs->debugTrace,        prefs->debugMode,
                       prefs->noAboutMenu,       prefs->noPreviewNotify,
                       prefs->noTimers,          prefs->alwaysPassword,
                       prefs->neverPassword,     prefs->activeConfigPassword,
                       prefs->text1[0],          prefs->text2[0]};
  const int defaults[] = {0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0};
  EXPECT_EQ(556, prefs->size);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(defaults[i], flags[i]) << "field " << i;
  ScrSetPrefs(prefs);
}

TEST(Lifecycle, MonitorClassesAreRegisteredAtOnceAndCornerResourcesBuiltAtTheirFirstUse) {
  UINT style = 0;
  EXPECT_TRUE(ClassRegistered("MorvaneMonitorClass", &style));
  EXPECT_FALSE(CornerResourcesMade()) << "made before anything used them";
  const CornerResources& cornerResources = Corners();
  EXPECT_TRUE(CornerResourcesMade());
  const char* names[] = {"Default", "Now", "Never"};
  for (int corner = 0; corner < CornerCount; ++corner) {
    ASSERT_EQ(3, GetMenuItemCount(cornerResources.menus[corner])) << corner;
    for (int state = 0; state < 3; ++state) {
      char text[100] = {};
      GetMenuStringA(cornerResources.menus[corner], state, text, sizeof text, MF_BYPOSITION);
      EXPECT_STREQ(names[state], text);
      EXPECT_EQ(UINT(0x1000 + 0x100 * corner + state),
                GetMenuItemID(cornerResources.menus[corner], state));
    }
  }
  EXPECT_EQ(184, cornerResources.monitorPictureSize.cx);
  EXPECT_EQ(170, cornerResources.monitorPictureSize.cy);
  EXPECT_EQ(24, cornerResources.markerSize.cx);
  EXPECT_EQ(22, cornerResources.markerSize.cy);
  const RECT expected[5] = {{16, 17, 40, 39},
                            {145, 17, 169, 39},
                            {145, 108, 169, 130},
                            {16, 108, 40, 130},
                            {16, 17, 169, 130}};
  const RECT* actual[5] = {&cornerResources.cornerRects[0], &cornerResources.cornerRects[1],
                           &cornerResources.cornerRects[2], &cornerResources.cornerRects[3],
                           &cornerResources.monitorScreenRect};
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(EqualRect(&expected[i], actual[i])) << "rectangle " << i;
  EXPECT_TRUE(ClassRegistered("MorvaneMonitorClass", &style));
  EXPECT_EQ(UINT(CS_GLOBALCLASS), style);
  EXPECT_TRUE(ClassRegistered("MorvaneMonitorWindowClass", &style));
  EXPECT_EQ(UINT(CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW), style);
}

TEST(Lifecycle, SecondEnsureKeepsThemCloseReleasesThemAndTheNextCallRebuildsThem) {
  const CornerResources& cornerResources = Corners();
  HMENU menu = cornerResources.menus[0];
  HBITMAP picture = cornerResources.monitorBitmap;
  EnsureLibrary();
  ScrSettings settings = {};
  ScrGetSettings(&settings);
  EXPECT_EQ(menu, cornerResources.menus[0]);
  EXPECT_EQ(picture, cornerResources.monitorBitmap);

  EXPECT_EQ(1, CloseLibrary());
  EXPECT_FALSE(libraryState.initialised);
  EXPECT_FALSE(IsMenu(menu));
  BITMAP info;
  EXPECT_EQ(0, GetObjectA(picture, sizeof info, &info));
  for (HMENU corner : cornerResources.menus) EXPECT_EQ(nullptr, corner);
  for (HBITMAP mark : cornerResources.markBitmaps) EXPECT_EQ(nullptr, mark);
  UINT style;
  EXPECT_FALSE(ClassRegistered("MorvaneMonitorClass", &style));
  EXPECT_FALSE(ClassRegistered("MorvaneMonitorWindowClass", &style));
  EXPECT_EQ(1, CloseLibrary());  // nothing left to close

  // A closed library (as a finished run leaves it) is initialised again by the next public call,
  // from the same module.
  HINSTANCE module = libraryState.module;
  ScrSetPrefs(ScrGetPrefs());
  EXPECT_TRUE(libraryState.initialised);
  EXPECT_EQ(module, libraryState.module);
  EXPECT_FALSE(CornerResourcesMade());
  EXPECT_EQ(3, GetMenuItemCount(Corners().menus[0]));
  EXPECT_TRUE(ClassRegistered("MorvaneMonitorClass", &style));
}

}  // namespace
