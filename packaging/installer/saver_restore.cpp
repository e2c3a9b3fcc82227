#include "saver_restore.h"

namespace installer {

namespace {

bool SamePath(const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char16_t x = a[i] >= u'a' && a[i] <= u'z' ? a[i] - u'a' + u'A' : a[i];
    char16_t y = b[i] >= u'a' && b[i] <= u'z' ? b[i] - u'a' + u'A' : b[i];
    if (x != y) return false;
  }
  return true;
}

}  // namespace

SaverRestore PlanSaverRestore(const UserSaverRecord& user, const std::u16string& installed) {
  SaverRestore plan;
  if (installed.empty() || !user.current.present || !SamePath(user.current.value, installed)) {
    return plan;
  }
  // Without a record of what it replaced, no saver is better than a missing file.
  if (user.previousSaverMissing || !user.previousSaver.present) {
    plan.saver = ValueAction::Delete;
  } else {
    plan.saver = ValueAction::Write;
    plan.saverValue = user.previousSaver.value;
  }
  if (user.previousActiveMissing) {
    plan.active = ValueAction::Delete;
  } else if (user.previousActive.present) {
    plan.active = ValueAction::Write;
    plan.activeValue = user.previousActive.value;
  }
  return plan;
}

}  // namespace installer
