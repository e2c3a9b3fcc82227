#pragma once
// What the agent and ScrHots.dll agree on to find each other in the user's session.
#include <windows.h>

namespace corners {

// The running agent's hidden window (found by class) and its session-wide mutex.
constexpr char agentClass[] = "MorvaneHotCornersAgent";
constexpr char agentTitle[] = "Morvane hot corners";
constexpr char agentMutex[] = "Local\\MorvaneHotCorners";

// Posted by Screen_Saver_Changed: read the corner settings again now.
constexpr UINT rereadMessage = WM_APP + 1;
// The notification-area icon's callback.
constexpr UINT trayMessage = WM_APP + 2;
// A check of the configured saver's file answered (lParam: the check, for the window to delete).
constexpr UINT saverCheckedMessage = WM_APP + 3;

// WM_COPYDATA's tag for a handed-over command line (its switches, without the program's name).
constexpr ULONG_PTR commandTag = 0x43524F4D;  // "MORC"
constexpr DWORD commandCapacity = 256;

}  // namespace corners
