#pragma once
// Trace lines "Carousel: ..." for the debugger channel (DebugView), and for the test log when
// MORVANE_TEST_LOG names one. Any thread may call it.

namespace carousel {

// wsprintf format, at most about 900 characters.
void Trace(const char* format, ...);

}  // namespace carousel
