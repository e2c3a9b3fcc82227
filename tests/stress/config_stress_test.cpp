// A hundred configuration runs in one process, as ScrMain opens them for "/c": each sheet is found
// by a second thread and closed with OK or Cancel in turn. OK writes the settings back and tells
// the system; Cancel reverts. Each run builds the hidden dialog, the sheet with its General page
// and monitor control, and the sheet's system menu with its About item, and must take all of it
// away again.
#include <gtest/gtest.h>

#include "resource_counts.h"
#include "sheet_support.h"
#include "stress_support.h"

namespace {

enum { ConfigurationRuns = 100, WarmUpRuns = 30 };

using ConfigStress = ConfigRun;

// Runs the configuration count times, closing with OK on even runs and Cancel on odd ones.
void OpenAndClose(int count, StressFigures* figures = nullptr) {
  for (int i = 0; i < count && !::testing::Test::HasFailure(); ++i) {
    bool ok = i % 2 == 0;
    SheetVisit visit;
    visit.closeButton = ok ? PSBTN_OK : PSBTN_CANCEL;
    if (figures && i == count / 2) {
      visit.script = [figures](HWND) { figures->during = CountResources(); };
    }
    int result = RunConfiguration(nullptr, 0, &visit);
    EXPECT_EQ(1, visit.sheetsSeen) << "run " << i;
    EXPECT_EQ(ok ? 1 : 0, result) << "run " << i;
  }
}

// Wine keeps every window DC it has handed out for reuse, with its region and surface; how many
// a run needs at once depends on timing, so the cache grows in bursts over many runs. Taking more
// DCs at once than any run does grows it to its full size before the measurement.
void FillWindowDcCache() {
  HWND window =
      CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  HDC dcs[64];
  for (HDC& dc : dcs) dc = GetDCEx(window, nullptr, DCX_CACHE);
  for (HDC dc : dcs) ReleaseDC(window, dc);
  DestroyWindow(window);
}

// Wine makes the brush and pen of a system colour the first time something draws with it, and
// keeps them; which colours a run draws with depends on whether its sheet has the focus. Drawing
// with them all beforehand leaves the allowance for what cannot be made in advance.
void MakeSystemColourObjects() {
  for (int colour = COLOR_SCROLLBAR; colour <= COLOR_MENUBAR; ++colour) GetSysColorBrush(colour);
  HDC memory = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(memory, 64, 64);
  HGDIOBJ before = SelectObject(memory, bitmap);
  RECT box = {0, 0, 64, 64};
  for (UINT edge : {EDGE_RAISED, EDGE_SUNKEN, EDGE_ETCHED, EDGE_BUMP}) {
    for (UINT flags :
         {0u, static_cast<UINT>(BF_SOFT), static_cast<UINT>(BF_FLAT), static_cast<UINT>(BF_MONO)}) {
      DrawEdge(memory, &box, edge, BF_RECT | BF_DIAGONAL | flags);
    }
  }
  DrawFocusRect(memory, &box);
  for (UINT state : {DFCS_BUTTONPUSH, DFCS_BUTTONCHECK, DFCS_BUTTONRADIO}) {
    DrawFrameControl(memory, &box, DFC_BUTTON, state);
    DrawFrameControl(memory, &box, DFC_BUTTON, state | DFCS_INACTIVE);
    DrawFrameControl(memory, &box, DFC_BUTTON, state | DFCS_PUSHED | DFCS_CHECKED);
  }
  DrawFrameControl(memory, &box, DFC_SCROLL, DFCS_SCROLLUP | DFCS_INACTIVE);
  SelectObject(memory, before);
  DeleteObject(bitmap);
  DeleteDC(memory);
}

TEST_F(ConfigStress, AHundredRunsOpenedAndClosedInOneProcessLeaveNothingBehind) {
  ExpectNoLeak(
      "configuration runs",
      [] {
        FillWindowDcCache();
        MakeSystemColourObjects();
        OpenAndClose(WarmUpRuns);
      },
      [](StressFigures* figures) {
        OpenAndClose(ConfigurationRuns, figures);
        return ConfigurationRuns;
      },
      GdiAllowance{ConfigurationRuns / 4});
}

}  // namespace
