// The author's preferences: copied in and out, texts without a zero, the "Prefs error" reports.
#include "message_box_spy.h"
#include "morvane.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// Hands a changed copy of the current preferences back; the boxes that this showed.
template <typename Change>
std::vector<ShownBox> ChangePrefs(Change change) {
  ScrPrefs* prefs = ScrGetPrefs();
  change(*prefs);
  StartAnsweringBoxes();
  ScrSetPrefs(prefs);
  return StopAnsweringBoxes();
}

TEST(Prefs, EveryFieldIsCopiedInAndOutAndTextsAreCut) {
  ChangePrefs([](ScrPrefs& p) {
    p.size = 12;  // not examined
    p.allowActiveConfig = p.debugMode = p.noAboutMenu = p.noPreviewNotify = p.noTimers = 1;
    p.offerMuteSound = p.activeConfigPassword = 0;
    p.alwaysPassword = 0x55;
    std::memset(p.text1, 'x', sizeof p.text1);  // no terminating zero
    std::strcpy(p.text2, "second");
  });
  ScrPrefs* prefs = ScrGetPrefs();
  const int fields[] = {prefs->size,      prefs->allowActiveConfig, prefs->offerMuteSound,
                        prefs->debugMode, prefs->noAboutMenu,       prefs->noPreviewNotify,
                        prefs->noTimers,  prefs->alwaysPassword,    prefs->activeConfigPassword};
  const int expected[] = {556, 1, 0, 1, 1, 1, 1, 0x55, 0};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(expected[i], fields[i]) << "field " << i;
  EXPECT_EQ(std::string(255, 'x'), prefs->text1);
  EXPECT_STREQ("second", prefs->text2);
  ScrSetPrefs(prefs);
}

TEST(Prefs, ErrorsAreShownOnlyWithDebugTrace) {
  const char* silly =
      "You have set always-require-password AND never-require-password, which is silly!";
  for (int debugTrace : {1, 0}) {
    std::vector<ShownBox> boxes = ChangePrefs([=](ScrPrefs& p) {
      p.debugTrace = debugTrace;
      p.alwaysPassword = p.neverPassword = 1;
    });
    StartAnsweringBoxes();
    ScrSetPrefs(nullptr);
    for (const ShownBox& box : StopAnsweringBoxes()) boxes.push_back(box);

    ASSERT_EQ(debugTrace ? 2u : 0u, boxes.size());
    if (debugTrace) {
      EXPECT_EQ(silly, boxes[0].text);
      EXPECT_EQ("ScrSetPrefs called with NULL preferences", boxes[1].text);
      EXPECT_EQ("Prefs error", boxes[1].caption);
    }
    ScrPrefs* prefs = ScrGetPrefs();  // both flags kept, and the null record changed nothing
    EXPECT_EQ(1, prefs->alwaysPassword);
    EXPECT_EQ(1, prefs->neverPassword);
    EXPECT_EQ(debugTrace, prefs->debugTrace);
    prefs->debugTrace = prefs->alwaysPassword = prefs->neverPassword = 0;
    ScrSetPrefs(prefs);
  }
}

TEST(Prefs, RecordTheSaverMadeItselfIsInstalledButNotReleased) {
  ScrPrefs own = {};
  own.offerMuteSound = own.activeConfigPassword = 1;
  std::strcpy(own.text1, "on the stack");
  ScrSetPrefs(&own);
  ScrPrefs* prefs = ScrGetPrefs();
  EXPECT_STREQ("on the stack", prefs->text1);
  ScrSetPrefs(prefs);
}

}  // namespace
