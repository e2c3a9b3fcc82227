#pragma once
// What one user's settings become when Glimmerbox goes: the saver and ScreenSaveActive it replaced,
// as the user's half of the install recorded them under Software\Glimmerbox, unless the user has
// chosen another saver since.
#include <string>

namespace installer {

// A registry string that may be missing.
struct Text {
  bool present = false;
  std::u16string value;
};

// One user's values: Control Panel\Desktop's SCRNSAVE.EXE, and the records of what it replaced
// (PreviousSaver or PreviousSaverMissing, PreviousActive or PreviousActiveMissing).
struct UserSaverRecord {
  Text current;
  Text previousSaver;
  bool previousSaverMissing = false;
  Text previousActive;
  bool previousActiveMissing = false;
};

enum class ValueAction { Keep, Write, Delete };

struct SaverRestore {
  ValueAction saver = ValueAction::Keep;
  std::u16string saverValue;
  ValueAction active = ValueAction::Keep;
  std::u16string activeValue;
};

// installed: the saver path the install wrote (letters compared without case).
SaverRestore PlanSaverRestore(const UserSaverRecord& user, const std::u16string& installed);

}  // namespace installer
