#pragma once
// The saver's windows: each one, full screen or preview, owns its GL context and its own scene.
#include <windows.h>

#include "light_sim.h"
#include "morvane.h"

// Sent by the settings page to its preview: read the saver's settings again.
constexpr UINT GLIMMER_RELOADSETTINGS = WM_APP + 0x100;

// The answer to a tick at the default rate, "Match the display": the next tick at the monitor's
// next refresh. Each window answers its ticks as the rate chosen on the settings page asks.
constexpr LRESULT DefaultTickAnswer = SCR_TICK_DISPLAY;

// The module whose resources hold the scene's pictures (the saver's own).
void SetPictureModule(HINSTANCE module);

// The saver windows' procedure; what it does not handle goes to DefSaverProc.
LRESULT CALLBACK GlimmerSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// One tick's work in two halves: draw the next frame into the back buffer (the scene advances by
// one step; with "Show frame rate", the frame-rate overlay goes over it), then show it. False, and
// nothing drawn, when the window has no scene or no GL.
bool DrawSaverFrame(HWND window);
void ShowSaverFrame(HWND window);

// What a window has done so far: frames drawn, and its scene (null for other windows).
unsigned long SaverWindowSteps(HWND window);
const LightScene* SaverWindowScene(HWND window);
