#pragma once
// The General page's texts and numbers that need no window: the mouse-sensitivity entries of the
// string table and the password delay as typed and as shown.
#include <cstdint>

namespace morvane {

// A sensitivity entry reads "label,value"; the label may itself hold commas, so the value is
// what follows the last one.
// Ends entry at its last comma, leaving the label; an entry without a comma is all label.
void CutSensitivityLabel(char* entry);
// The value after the last comma ("%i" forms, leading blanks skipped) into *threshold; false,
// storing nothing, when there is no comma or no number after it.
bool ReadSensitivityThreshold(const char* entry, int32_t* threshold);

// The delay units of the unit combo box; the stored delay is always in seconds.
enum DelayUnit : uint32_t { DelayUnitSeconds = 0, DelayUnitMinutes = 1 };

// The seconds a typed number means in that unit, held to the 32-bit signed range.
int32_t DelaySecondsFromTyped(int32_t typed, uint32_t unit);
// The number the delay box shows for a stored delay: whole minutes, truncated towards zero, in
// the minutes unit.
int32_t DelayShownInUnit(int32_t seconds, uint32_t unit);
// Reads the delay box ("%i" forms) into *seconds, which holds the current delay, shown in
// shownUnit. The text's number in unit replaces it, except when the box still shows the current
// delay in the same unit: the box shows whole minutes, and reading back its own rounding would
// lose a stored delay that is not. For the commands of every control but the user's edits of the
// box. False, leaving *seconds alone, when the text holds no number.
bool ReadTypedDelay(const char* text, uint32_t unit, uint32_t shownUnit, int32_t* seconds);
// The box as the user has just edited it: the text's number in unit replaces *seconds, even when
// it spells the current delay's rounding. False, leaving *seconds alone, when it holds no number.
bool ReadEditedDelay(const char* text, uint32_t unit, int32_t* seconds);

}  // namespace morvane
