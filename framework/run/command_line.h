#pragma once
// The screen-saver command line as text: which mode it asks for and the window number it names.
// Nothing here looks at windows; the run decides from this which window is meant.
#include <cstdint>

namespace morvane {

enum class SaverAction {
  Refuse,          // not understood: the run returns 2 and shows nothing
  FullScreen,      // S
  Preview,         // P or L: the companion, else the window numbered on the line
  ChangePassword,  // A: the window numbered on the line, else the foreground window
  Configure,       // C (over the foreground window), or no switch at all (no parent)
};

struct SaverCommand {
  SaverAction action = SaverAction::Refuse;
  // Configure: the sheet goes over the foreground window (switch C) rather than no window.
  bool overForeground = false;
  // Preview: the switch letter and everything after it, for the companion check.
  const char* switchText = nullptr;
  // Preview and ChangePassword: the number after the letter and any spaces and colons, read with
  // the "%i" rules (sign, decimal, 0x hexadecimal, leading-zero octal; saturating at 32 bits).
  bool hasNumber = false;
  int32_t number = 0;
};

// Reads a whole command line, program name first. A null text is refused.
SaverCommand ParseCommandLine(const char* commandLine);

// Whether the text from a preview switch letter on names the companion program (name, compared
// without regard to ASCII case). Directly after the letter the name ends at the next space; after
// a space the rest of the line must be the name. Text of more than the companion check's working
// copy (99 characters with the letter) is never the name.
bool NamesCompanion(const char* switchText, const char* name);

// The companion check's working copy: the switch letter and its argument, terminating zero
// included.
enum { CompanionCopyCapacity = 100 };

}  // namespace morvane
