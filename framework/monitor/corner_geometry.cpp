#include "monitor/corner_geometry.h"

#include "core/scan_integer.h"

namespace morvane {

bool ParseScreenCorners(const char* text, CornerPoint points[4]) {
  int32_t numbers[8];
  const char* p = text;
  for (int32_t& number : numbers) {
    if (!ReadScanfInteger(p, &p, &number)) return false;
  }
  for (int i = 0; i < 4; ++i) points[i] = CornerPoint{numbers[2 * i], numbers[2 * i + 1]};
  return true;
}

void BuildCornerBoxes(const CornerPoint points[4], int32_t markWidth, int32_t markHeight,
                      CornerBox marks[4], CornerBox* screen) {
  const CornerPoint& tl = points[0];
  const CornerPoint& tr = points[1];
  const CornerPoint& br = points[2];
  const CornerPoint& bl = points[3];
  marks[0] = CornerBox{tl.x, tl.y, tl.x + markWidth, tl.y + markHeight};
  marks[1] = CornerBox{tr.x - markWidth, tr.y, tr.x, tr.y + markHeight};
  marks[2] = CornerBox{br.x - markWidth, br.y - markHeight, br.x, br.y};
  marks[3] = CornerBox{bl.x, bl.y - markHeight, bl.x + markWidth, bl.y};
  *screen = CornerBox{tl.x, tl.y, br.x, br.y};
}

}  // namespace morvane
