#include <gtest/gtest.h>

#include "saver_restore.h"

using namespace installer;

namespace {

const std::u16string installed = u"C:\\Windows\\System32\\glimmerbox.scr";

struct Case {
  const char* what;
  UserSaverRecord user;
  ValueAction saver;
  std::u16string saverValue;
  ValueAction active;
  std::u16string activeValue;
};

TEST(SaverRestore, PutsBackWhatWasReplacedOnlyWhileGlimmerboxIsTheSaver) {
  const Text ours = {true, u"c:\\windows\\system32\\GLIMMERBOX.SCR"};
  const Text previous = {true, u"C:\\x\\previous.scr"};
  const Text zero = {true, u"0"};
  const Case cases[] = {
      {"both recorded",
       {ours, previous, false, zero, false},
       ValueAction::Write,
       previous.value,
       ValueAction::Write,
       u"0"},
      {"there was none",
       {ours, {}, true, {}, true},
       ValueAction::Delete,
       u"",
       ValueAction::Delete,
       u""},
      {"no record at all",
       {ours, {}, false, {}, false},
       ValueAction::Delete,
       u"",
       ValueAction::Keep,
       u""},
      {"another saver chosen since",
       {{true, u"C:\\y.scr"}, previous, false, zero, false},
       ValueAction::Keep,
       u"",
       ValueAction::Keep,
       u""},
      {"a longer name that starts like ours",
       {{true, installed + u"x"}, previous, false, zero},
       ValueAction::Keep,
       u"",
       ValueAction::Keep,
       u""},
      {"no saver set",
       {{}, previous, false, zero, false},
       ValueAction::Keep,
       u"",
       ValueAction::Keep,
       u""},
  };
  for (const Case& c : cases) {
    SaverRestore plan = PlanSaverRestore(c.user, installed);
    EXPECT_EQ(c.saver, plan.saver) << c.what;
    EXPECT_EQ(c.saverValue, plan.saverValue) << c.what;
    EXPECT_EQ(c.active, plan.active) << c.what;
    EXPECT_EQ(c.activeValue, plan.activeValue) << c.what;
  }
  EXPECT_EQ(ValueAction::Keep, PlanSaverRestore({ours, previous, false, zero, false}, u"").saver);
}

}  // namespace
