#pragma once
// Savers written for the SDK's screen-saver library (scrnsave.h), run by Morvane: the library's
// entry (scrnsave_entry.cpp, built once for ANSI and once for UNICODE) hands the saver's functions
// to RunScrnsave, which runs every mode through the framework's dispatcher. The saver's procedure
// sits behind the framework's own window procedure, which keeps timers and painting away from it
// while nobody can see the screen. Everything here belongs to the thread that runs the saver.
#include <windows.h>

// The library's globals that the framework keeps up to date (scrnsave_entry.cpp defines them).
extern "C" {
extern HWND hMainWindow;
extern BOOL fChildPreview;
}

namespace morvane {

// What the saver supplies, in its character set.
struct ScrnsaveParts {
  WNDPROC saverProc;                            // ScreenSaverProc (ScreenSaverProcW)
  DLGPROC configureDialog;                      // ScreenSaverConfigureDialog
  BOOL(WINAPI* registerDialogClasses)(HANDLE);  // RegisterDialogClasses
  void(WINAPI* changePassword)(HWND);           // ScreenSaverChangePassword, the saver's or ours
  bool wide;                                    // the UNICODE library: Unicode windows and dialogs
};

extern ScrnsaveParts scrnsaveParts;

// The window class of the saver's windows, as the SDK's library names it.
extern const char scrnsaveClass[];

// Runs the mode the command line asks for and returns its exit code.
int RunScrnsave(HINSTANCE instance, const ScrnsaveParts& parts);

// DefScreenSaverProc: DefSaverProc, except that a Unicode window's messages carrying text go to
// DefWindowProcW, which reads and writes it in the window's character set.
LRESULT ScrnsaveDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The framework's window procedure of the saver's windows, in front of the saver's procedure.
LRESULT CALLBACK ScrnsaveWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The default ScreenSaverChangePassword: the framework's password change; its result is what /a
// returns.
void DefaultChangePassword(HWND parent);
extern int changePasswordResult;

}  // namespace morvane
