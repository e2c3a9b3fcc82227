#pragma once
// The framework's diagnostics. They write and show nothing unless the preference debugTrace is
// on. Any thread may call them, the timer threads included: they keep no state.
#include <windows.h>

namespace morvane {

// The text and "___________  \n\r" to the debugger output.
void Trace(const char* text);
// The tag, ": ", the text and "_________  \n\r" to the debugger output.
void TraceTagged(const char* tag, const char* text);
// A message box with an OK button: its result, or 0 when debugTrace is off.
int DebugMessageBox(HWND owner, const char* text, const char* caption);

}  // namespace morvane
