#include "monitor/monitor_style.h"

namespace morvane {

namespace {

const uint32_t modeMask = 3;
const int firstCornerBit = 4;
const uint32_t nowBit = 1, neverBit = 2, fieldMask = 3;

int FieldShift(int corner) {
  return firstCornerBit + 2 * corner;
}

}  // namespace

int MonitorModeOf(uint32_t style) {
  uint32_t mode = style & modeMask;
  return mode == MonitorModePreview || mode == MonitorModeCorners ? static_cast<int>(mode)
                                                                  : MonitorModeNothing;
}

int CornerStateOf(uint32_t style, int corner) {
  uint32_t field = (style >> FieldShift(corner)) & fieldMask;
  if (field == nowBit) return 1;
  if (field == neverBit) return 2;
  return 0;
}

uint32_t WithCornerStates(uint32_t style, const int states[4]) {
  uint32_t result = style & ~(0xFFu << firstCornerBit);
  for (int corner = 0; corner < 4; ++corner) {
    if (states[corner] == 1) result |= nowBit << FieldShift(corner);
    if (states[corner] == 2) result |= neverBit << FieldShift(corner);
  }
  return result;
}

}  // namespace morvane
