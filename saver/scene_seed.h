#pragma once
// Where each saver window's scene starts. No Win32 here.
#include <cstdint>

// The start state of a window's random generator from its number in the full-screen run (0 the
// primary monitor's window, 1 upward the others; negative for previews): the demo's own start for
// previews and the primary monitor, so they keep the scene everyone knows, and for every other
// monitor a start of its own, so that screens side by side show different swarms.
std::uint32_t SceneSeedOf(int monitorNumber);
