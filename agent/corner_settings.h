#pragma once
// The corner codes from the user's screen-saver settings, read again whenever their key changes.

namespace corners {

// Reads the codes into agentRun.codes: a missing key or value, another type or a malformed text
// reads as "default" for the corners it does not give.
void ReadCornerCodes();

// (Re)arms the change notices on the settings key and on its parent, so that agentRun.keyEvent is
// signalled by the next change of a value or of the key itself. False when neither opens.
bool WatchSettings();

// The key changed (or the watch must be made again): read, trace and watch again.
void OnSettingsKeyChanged();

void StopWatchingSettings();

}  // namespace corners
