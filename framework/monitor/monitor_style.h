#pragma once
// The monitor control keeps all its state in its style: the mode in bits 0-1, two bits per corner
// (a "now" bit and a "never" bit) in bits 4-11.
#include <cstdint>

namespace morvane {

enum MonitorMode { MonitorModeNothing = 0, MonitorModePreview = 1, MonitorModeCorners = 2 };

// 1 preview, 2 corners; 0 and 3 both mean the picture only (returned as 0).
int MonitorModeOf(uint32_t style);
// 0 Default, 1 Now, 2 Never: only the "now" bit gives Now, only the "never" bit gives Never;
// neither or both read as Default.
int CornerStateOf(uint32_t style, int corner);
// style with the corner fields rewritten from the four states (Default writes neither bit).
uint32_t WithCornerStates(uint32_t style, const int states[4]);

}  // namespace morvane
