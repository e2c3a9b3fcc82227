// Change notices sent to the hidden dialog during a run: routed to the owner when the run asked
// for it, and to the live previews inside the monitor controls on the sheet.
#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include "config/config_dialog.h"
#include "settings/prefs.h"
#include "run/saver_run.h"
#include "sheet_support.h"

using namespace morvane;

namespace {

// One notice and how many times each receiver must get it.
struct NoticeCase {
  DWORD flags;
  int noPreviewNotify;
  int toOwner, toTopPreview, toNestedPreview;
};

// Each notice carries a summary of its own, so that its deliveries can be told apart.
struct NoticeRun {
  explicit NoticeRun(std::vector<NoticeCase> list) : cases(std::move(list)) {}
  std::vector<NoticeCase> cases;
  std::vector<ScrSettings> summaries;
};

SheetVisit SendNotices(NoticeRun* run) {
  run->summaries.assign(run->cases.size(), ScrSettings{sizeof(ScrSettings), {}, 0, 0, 0, 0});
  SheetVisit visit;
  visit.script = [run](HWND sheet) {
    for (size_t i = 0; i < run->cases.size(); ++i) {
      currentPrefs.noPreviewNotify = run->cases[i].noPreviewNotify;
      ChangeNotice notice = {sheet, run->cases[i].flags, &run->summaries[i]};
      SendMessageA(HiddenDialogOf(sheet), SCRM_SETTINGSCHANGED, 0,
                   reinterpret_cast<LPARAM>(&notice));
    }
  };
  return visit;
}

int CountDeliveries(HWND receiver, const ScrSettings* summary, DWORD flags) {
  int count = 0;
  for (const Delivery& delivery : deliveries) {
    if (delivery.receiver != receiver || delivery.summary != reinterpret_cast<LPARAM>(summary)) {
      continue;
    }
    EXPECT_EQ(flags, delivery.flags);
    ++count;
  }
  return count;
}

void ExpectRouted(const NoticeRun& run, HWND owner) {
  ASSERT_TRUE(topPreview);
  ASSERT_TRUE(nestedPreview);
  for (size_t i = 0; i < run.cases.size(); ++i) {
    const NoticeCase& c = run.cases[i];
    SCOPED_TRACE(testing::Message()
                 << std::hex << c.flags << " noPreviewNotify " << c.noPreviewNotify);
    EXPECT_EQ(c.toOwner, CountDeliveries(owner, &run.summaries[i], c.flags));
    EXPECT_EQ(c.toTopPreview, CountDeliveries(topPreview, &run.summaries[i], c.flags));
    EXPECT_EQ(c.toNestedPreview, CountDeliveries(nestedPreview, &run.summaries[i], c.flags));
  }
}

class NoticeRouting : public ConfigRun {
 protected:
  void SetUp() override {
    ConfigRun::SetUp();
    saverRun.pageProc = TestPageProc;
  }
};

// A preview inside a monitor control that sits in a window of class "Dialog" is found by the
// walk and again by the walk inside that window.
TEST_F(NoticeRouting, ActiveConfigurationReachesTheOwnerAndThePreviewsAsTheFlagsSay) {
  NoticeRun run({{0xD001, 0, 1, 1, 2},
                 {0xE001, 0, 1, 1, 2},
                 {0x8001, 0, 1, 0, 0},
                 {0x4001, 0, 0, 1, 2},
                 {0x1001, 0, 1, 1, 2},  // neither routing bit: both
                 {0xD001, 1, 1, 0, 0},
                 {0x1001, 1, 1, 0, 0}});
  SheetVisit visit = SendNotices(&run);
  EXPECT_EQ(0, RunConfiguration(owner, 1, &visit));
  ASSERT_EQ(1, visit.sheetsSeen);
  ExpectRouted(run, owner);
}

TEST_F(NoticeRouting, ConfigurationModeNeverNotifiesTheOwnerButStillThePreviews) {
  NoticeRun run({{0xD001, 0, 0, 1, 2}, {0x8001, 0, 0, 0, 0}, {0x0001, 0, 0, 1, 2}});
  SheetVisit visit = SendNotices(&run);
  EXPECT_EQ(0, RunConfiguration(owner, 0, &visit));
  ASSERT_EQ(1, visit.sheetsSeen);
  ExpectRouted(run, owner);
}

std::vector<WPARAM> FlagsReceivedBy(HWND receiver) {
  std::vector<WPARAM> flags;
  for (const Delivery& delivery : deliveries) {
    if (delivery.receiver == receiver) flags.push_back(delivery.flags);
  }
  return flags;
}

// The saver's page stores its settings itself and reports each change by sending itself the
// notice; the running saver hears of each report and of the sheet's close, OK or Cancel. The
// previews on the page are the page's own to tell.
TEST_F(NoticeRouting, TheSaversOwnPageReachesTheRunningSaverOnEachReportAndOnOkOrCancel) {
  const struct {
    const char* what;
    int notifyOwner;
    int closeButton;
    std::vector<WPARAM> toOwner;
  } cases[] = {
      {"active configuration, Cancel", 1, PSBTN_CANCEL, {0x9002, 0x9002, 0x9002}},
      {"active configuration, OK", 1, PSBTN_OK, {0x9002, 0x9002, 0xA002}},
      {"configuration mode, OK", 0, PSBTN_OK, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    deliveries.clear();
    SheetVisit visit;
    visit.closeButton = c.closeButton;
    visit.script = [](HWND sheet) {
      HWND page = PropSheet_GetCurrentPageHwnd(sheet);
      for (int change = 0; change < 2; ++change) {
        SendMessageA(page, SCRM_SETTINGSCHANGED, SCRSETTINGS_SAVER, 0);
      }
    };
    EXPECT_EQ(c.closeButton == PSBTN_OK ? 1 : 0, RunConfiguration(owner, c.notifyOwner, &visit));
    ASSERT_EQ(1, visit.sheetsSeen);
    EXPECT_EQ(c.toOwner, FlagsReceivedBy(owner));
    for (const Delivery& delivery : deliveries) EXPECT_EQ(0, delivery.summary);
    EXPECT_TRUE(FlagsReceivedBy(topPreview).empty());
    EXPECT_TRUE(FlagsReceivedBy(nestedPreview).empty());
  }
}

using AppliedNotice = ConfigRun;

// The sheet opens on the General page alone, so OK applies it: the running saver hears of it with
// the settings as they are stored; a configuration started from the command line does not.
TEST_F(AppliedNotice, OkOfAnActiveConfigurationReachesTheRunningSaverWithTheStoredSettings) {
  SheetVisit visit;
  visit.closeButton = PSBTN_OK;
  EXPECT_EQ(1, RunConfiguration(owner, 1, &visit));
  ASSERT_EQ(1, visit.sheetsSeen);
  ASSERT_EQ(std::vector<WPARAM>{0xE001}, FlagsReceivedBy(owner));
  const Delivery& applied = deliveries.back();
  ASSERT_NE(0, applied.summary);
  ScrSettings stored = {};
  ScrGetSettings(&stored);
  EXPECT_EQ(24, applied.settings.size);
  EXPECT_EQ(0, std::memcmp(stored.corners, applied.settings.corners, sizeof stored.corners));
  EXPECT_EQ(stored.muteSound, applied.settings.muteSound);
  EXPECT_EQ(stored.mouseThreshold, applied.settings.mouseThreshold);
  EXPECT_EQ(stored.passwordDelay, applied.settings.passwordDelay);
  EXPECT_EQ(stored.activeConfig, applied.settings.activeConfig);

  deliveries.clear();
  visit = SheetVisit{};
  visit.closeButton = PSBTN_OK;
  EXPECT_EQ(1, RunConfiguration(owner, 0, &visit));
  EXPECT_TRUE(FlagsReceivedBy(owner).empty());
}

}  // namespace
