#pragma once
// What the agent asks of the desktop: its corner zones and whether a full-screen program is in
// front.

namespace corners {

// Lists the monitors and places agentRun.zones; again after every display change.
void RefreshZones();

// Whether the foreground window covers its whole monitor (a game, a video), other than the
// desktop itself and the agent's own windows.
bool FullScreenInFront();

}  // namespace corners
