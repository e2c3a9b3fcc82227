#pragma once
// A saver started full screen while the pointer rests in a "never" corner is not wanted: the
// user keeps the screen saver away there, whether or not the hot-corner agent runs. Saver thread.

namespace morvane {

// Whether the pointer rests in a "never" corner of the corners the user's choice makes hot
// (judged as the agent judges them); traces the corner when it does. False whenever the pointer,
// the settings or the monitors cannot be had.
bool PointerRestsInNeverCorner();

}  // namespace morvane
