#pragma once
// Context help for the General page and for the controls of a saver's own page.
#include <windows.h>

namespace morvane {

// Control id, help id pairs closed by (0, 0), as the system's context help takes them.
extern const DWORD HelpIdTable[];

// How help is shown; WinHelpA unless a test replaces it.
typedef BOOL(WINAPI* HelpCallProc)(HWND window, LPCSTR file, UINT command, ULONG_PTR data);
extern HelpCallProc helpCall;

// The help file for a help target, into file (capacity characters); false when no name loads.
// The framework's own file (the saver may name its own) for the "Allow active-configuration" box;
// for everything else the same file when it exists, else the Plus! file.
bool ChooseHelpFile(bool activeConfigBox, char* file, int capacity);

}  // namespace morvane
