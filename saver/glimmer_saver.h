#pragma once
// glimmerbox.scr's run: its preferences, then the framework's ScrMain with the saver's window
// procedure and settings page.
#include <windows.h>

// Runs the mode the command line asks for; returns the framework's result as the exit code.
// windowProc is GlimmerSaverProc, or one that passes everything on to it.
int RunGlimmerSaver(HINSTANCE instance, WNDPROC windowProc);
