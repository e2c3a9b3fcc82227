#pragma once
// The agent's command-line switches, read the same way from its own command line and from the
// command a second start hands over.
#include <cstddef>
#include <cstdint>

#include "displays/corner_mode.h"

namespace corners {

enum class Command {
  Run,        // no switch, or /start: become the agent (or leave it to the running one)
  Now,        // /now: start the screen saver
  Pause,      // /pause [minutes]: hot corners idle for that long, or until resumed
  Resume,     // /resume
  Settings,   // /settings: the current saver's settings ("/c")
  Quit,       // /quit: the running agent ends
  Install,    // /install: start at logon
  Uninstall,  // /uninstall
  Corners,    // /corners:each or /corners:desktop: which corners are hot
  Gamepads,   // /gamepads:on or /gamepads:off: whether gamepads count as activity
  Invalid,    // anything else
};

struct Switches {
  Command command;
  // For Pause: minutes, 0 for "until resumed".
  uint32_t pauseMinutes;
  // For Corners.
  morvane::CornerMode cornerMode = morvane::CornerMode::Desktop;
  // For Gamepads.
  bool gamepads = true;
};

enum : uint32_t { MaxPauseMinutesSwitch = 7 * 24 * 60 };

// Reads at most size bytes of text (the command line without the program's name; it need not end
// with a zero). Switches start with '/' or '-', any case. One switch, plus the minutes for
// /pause (1 to a week); /corners: takes "each" or "desktop" after its colon, /gamepads: "on" or
// "off", in one word. Anything more or else is Invalid.
Switches ParseSwitches(const char* text, size_t size);

// The command line's switches alone: what follows the program's name (quoted or not).
const char* SkipProgramName(const char* commandLine);

}  // namespace corners
