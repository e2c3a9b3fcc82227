// The monitor control painted thousands of times in both of its drawing modes: the corner marks
// over the monitor picture (through every state of every corner) and the picture around a
// preview's inner window. Each paint makes two memory DCs and a canvas bitmap, and selects the
// shared picture and marks into them; all of it must be released by the next paint.
#include <gtest/gtest.h>

#include "core/library.h"
#include "morvane.h"
#include "resource_counts.h"
#include "stress_support.h"

using namespace morvane;

namespace {

enum { PaintCycles = 2000, WarmUpCycles = 20, CornerStates = 3 };

int paints;
WNDPROC monitorProc;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) ++paints;
  return CallWindowProcA(monitorProc, window, message, wParam, lParam);
}

// The corner bits for the cycle's number read in base three, one digit per corner: 81 cycles go
// through every combination of default, now and never.
DWORD CornerBits(int cycle) {
  DWORD bits = 0;
  for (int corner = 0; corner < 4; ++corner) {
    bits |= static_cast<DWORD>(cycle % CornerStates) << (4 + 2 * corner);
    cycle /= CornerStates;
  }
  return bits;
}

class MonitorPaintStress : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureLibrary();
    host = CreateWindowExA(WS_EX_TOPMOST, "Static", "", WS_POPUP | WS_VISIBLE, 40, 40, 480, 240,
                           nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(host);
    corners = CreateControl(MS_CORNERS, 0);
    preview = CreateControl(MS_PREVIEW, 240);
    ASSERT_TRUE(corners && preview);
    monitorProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(corners, GWLP_WNDPROC));
    for (HWND control : {corners, preview}) {
      SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingProc));
    }
    UpdateWindow(host);
  }

  void TearDown() override { DestroyWindow(host); }

  HWND CreateControl(DWORD mode, int left) {
    return CreateWindowExA(0, "MorvaneMonitorClass", "", WS_CHILD | WS_VISIBLE | mode, left, 0, 240,
                           240, host, nullptr, GetModuleHandleA(nullptr), nullptr);
  }

  // Paints each control once per cycle, the corner control with the cycle's corner states;
  // expects every paint to have reached the control.
  void Paint(int cycles) {
    paints = 0;
    for (int i = 0; i < cycles; ++i) {
      SetWindowLongPtrA(corners, GWL_STYLE, WS_CHILD | WS_VISIBLE | MS_CORNERS | CornerBits(i));
      RedrawWindow(corners, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      InvalidateRect(preview, nullptr, FALSE);
      UpdateWindow(preview);
    }
    EXPECT_EQ(2 * cycles, paints);
  }

  HWND host = nullptr, corners = nullptr, preview = nullptr;
};

TEST_F(MonitorPaintStress, ThousandsOfPaintsInBothModesLeaveNoGdiObjectBehind) {
  ExpectNoLeak(
      "monitor control paints", [this] { Paint(WarmUpCycles); },
      [this](StressFigures* figures) {
        Paint(PaintCycles / 2);
        figures->during = CountResources();
        Paint(PaintCycles - PaintCycles / 2);
        return 2 * PaintCycles;
      });
}

}  // namespace
