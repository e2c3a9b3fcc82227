#pragma once
// Trace lines "Morvane corners: ..." for the debugger channel, and for the test log when one is
// set.

namespace corners {

// wsprintf format, at most about 900 characters.
void Trace(const char* format, ...);

// Reads MORVANE_TEST_LOG once, at the start.
void OpenTestLog();

}  // namespace corners
