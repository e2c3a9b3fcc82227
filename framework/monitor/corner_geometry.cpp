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

namespace {

// Mark edges are worked out in 64 bits; one beyond the 32-bit range stops at the range's end, as
// the numbers of the geometry string do.
int32_t Clamped(int64_t edge) {
  if (edge > INT32_MAX) return INT32_MAX;
  if (edge < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(edge);
}

}  // namespace

void BuildCornerBoxes(const CornerPoint points[4], int32_t markWidth, int32_t markHeight,
                      CornerBox marks[4], CornerBox* screen) {
  const CornerPoint& tl = points[0];
  const CornerPoint& tr = points[1];
  const CornerPoint& br = points[2];
  const CornerPoint& bl = points[3];
  const int64_t width = markWidth, height = markHeight;
  marks[0] = CornerBox{tl.x, tl.y, Clamped(tl.x + width), Clamped(tl.y + height)};
  marks[1] = CornerBox{Clamped(tr.x - width), tr.y, tr.x, Clamped(tr.y + height)};
  marks[2] = CornerBox{Clamped(br.x - width), Clamped(br.y - height), br.x, br.y};
  marks[3] = CornerBox{bl.x, Clamped(bl.y - height), Clamped(bl.x + width), bl.y};
  *screen = CornerBox{tl.x, tl.y, br.x, br.y};
}

}  // namespace morvane
