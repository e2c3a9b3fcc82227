// The counts the stress tests rely on, each shown a deliberate leak of its own kind: it must see
// the leak, see nothing else move, and see it go when the object is released. Otherwise a stress
// test's "back where it started" would prove nothing.
#include <gtest/gtest.h>

#include "resource_counts.h"

namespace {

// The counts before, with one of them moved by delta.
ResourceCounts Moved(ResourceCounts counts, long ResourceCounts::*field, long delta) {
  counts.*field += delta;
  return counts;
}

class ResourceCount : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // Under Wine a thread's first window brings an input-method window that lives as long as the
    // thread has windows, and the first enumerations and snapshots have set-up of their own: none
    // of that may land inside a measurement, so a window stays for the whole suite.
    keeper = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                             nullptr);
    DestroyWindow(
        CreateWindowExA(0, "Static", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
    AwaitSteadyCounts();
  }

  static void TearDownTestSuite() { DestroyWindow(keeper); }

  // Polls until two readings 50 ms apart agree, for at most three seconds.
  static void AwaitSteadyCounts() {
    ResourceCounts previous = CountResources();
    for (int i = 0; i < 60; ++i) {
      Sleep(50);
      ResourceCounts counts = CountResources();
      if (counts == previous) return;
      previous = counts;
    }
  }

  void SetUp() override {
    before = CountResources();
    ASSERT_GT(before.kernelHandles, 0) << "the handle list cannot be read";
    ASSERT_GT(before.gdiObjects, 0) << "the GDI handle table cannot be found";
    ASSERT_GE(before.userWindows, 0);
    ASSERT_GE(before.userMenus, 0);
    ASSERT_GE(before.threads, 1);
  }

  static HWND keeper;
  ResourceCounts before;
};

HWND ResourceCount::keeper;

TEST_F(ResourceCount, AnEventIsOneKernelHandle) {
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ASSERT_TRUE(event);
  EXPECT_EQ(Moved(before, &ResourceCounts::kernelHandles, 1), CountResources());
  HANDLE copy = nullptr;
  ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), event, GetCurrentProcess(), &copy, 0, FALSE,
                              DUPLICATE_SAME_ACCESS));
  EXPECT_EQ(Moved(before, &ResourceCounts::kernelHandles, 2), CountResources());
  CloseHandle(copy);
  CloseHandle(event);
  EXPECT_EQ(before, CountResources());
}

TEST_F(ResourceCount, BrushesBitmapsAndDeviceContextsAreGdiObjectsOfTheirKind) {
  GdiKinds kindsBefore = CountGdiObjectsByKind();
  HBRUSH brushes[50];
  for (int i = 0; i < 50; ++i) brushes[i] = CreateSolidBrush(RGB(1, 2, i));
  HBITMAP bitmap = CreateBitmap(4, 4, 1, 32, nullptr);
  HDC memory = CreateCompatibleDC(nullptr);
  ASSERT_TRUE(bitmap && memory);
  EXPECT_EQ(Moved(before, &ResourceCounts::gdiObjects, 52), CountResources());
  GdiKinds expected = kindsBefore;
  expected.brushes += 50;
  expected.bitmaps += 1;
  expected.memoryDcs += 1;
  EXPECT_EQ(Describe(expected), Describe(CountGdiObjectsByKind()));
  for (HBRUSH brush : brushes) DeleteObject(brush);
  DeleteObject(bitmap);
  EXPECT_EQ(Moved(before, &ResourceCounts::gdiObjects, 1), CountResources());
  DeleteDC(memory);
  EXPECT_EQ(before, CountResources());
}

TEST_F(ResourceCount, TopLevelChildAndMessageOnlyWindowsAreCounted) {
  HWND top =
      CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  HWND child =
      CreateWindowExA(0, "Static", "", WS_CHILD, 0, 0, 5, 5, top, nullptr, nullptr, nullptr);
  HWND messageOnly =
      CreateWindowExA(0, "Static", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_TRUE(top && child && messageOnly);
  EXPECT_EQ(Moved(before, &ResourceCounts::userWindows, 3), CountResources());
  DestroyWindow(messageOnly);
  EXPECT_EQ(Moved(before, &ResourceCounts::userWindows, 2), CountResources());
  DestroyWindow(top);
  EXPECT_EQ(before, CountResources());
}

TEST_F(ResourceCount, MenusAndSubmenusAreCountedAndNoneOfAnotherKind) {
  HMENU bar = CreateMenu();
  HMENU popup = CreatePopupMenu();
  ASSERT_TRUE(bar && popup);
  AppendMenuA(popup, MF_STRING, 1, "Item");
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), "Menu");
  EXPECT_EQ(Moved(before, &ResourceCounts::userMenus, 2), CountResources());
  // A window is no menu, though its handle comes from the same table.
  HWND window =
      CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(window);
  EXPECT_EQ(2, CountUserMenus() - before.userMenus);
  DestroyWindow(window);
  // Destroying the bar destroys the popup it holds.
  DestroyMenu(bar);
  EXPECT_EQ(before, CountResources());
}

TEST_F(ResourceCount, AWindowsSystemMenuIsCountedUntilTheWindowGoes) {
  HWND window = CreateWindowExA(0, "Static", "", WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 50, 50,
                                nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(window);
  ASSERT_TRUE(GetSystemMenu(window, FALSE));
  EXPECT_LT(before.userMenus, CountUserMenus());
  DestroyWindow(window);
  EXPECT_EQ(before, CountResources());
}

DWORD WINAPI WaitForRelease(void* event) {
  WaitForSingleObject(event, INFINITE);
  return 0;
}

TEST_F(ResourceCount, AThreadCountsUntilItEndsAndItsHandleUntilClosed) {
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ASSERT_TRUE(release);
  ResourceCounts withEvent = Moved(before, &ResourceCounts::kernelHandles, 1);
  HANDLE thread = CreateThread(nullptr, 0, WaitForRelease, release, 0, nullptr);
  ASSERT_TRUE(thread);
  ResourceCounts running = Moved(withEvent, &ResourceCounts::kernelHandles, 1);
  running.threads += 1;
  EXPECT_EQ(running, CountResources());
  SetEvent(release);
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 5000));
  EXPECT_EQ(Moved(withEvent, &ResourceCounts::kernelHandles, 1), CountResources());
  CloseHandle(thread);
  CloseHandle(release);
  EXPECT_EQ(before, CountResources());
}

}  // namespace
