#pragma once
// Where the hot-corner marks and the screen area lie inside the monitor picture.
#include <cstdint>

namespace morvane {

struct CornerPoint {
  int32_t x, y;
};

struct CornerBox {
  int32_t left, top, right, bottom;
};

// Reads the outer corner points of the monitor's screen area (top-left, top-right, bottom-right,
// bottom-left) from the eight numbers of the geometry string. Fewer than eight numbers count as
// no geometry at all: returns false and leaves points untouched.
bool ParseScreenCorners(const char* text, CornerPoint points[4]);

// The mark rectangles (markWidth by markHeight, inside the screen area at each corner, in corner
// order) and the screen area itself. A mark edge beyond the 32-bit range stops at its end.
void BuildCornerBoxes(const CornerPoint points[4], int32_t markWidth, int32_t markHeight,
                      CornerBox marks[4], CornerBox* screen);

}  // namespace morvane
