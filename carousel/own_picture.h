#pragma once
// Carousel's own picture, for a preview with no saver to show: three cards fanned out on black,
// as savers taking turns.
#include <windows.h>

namespace carousel {

void DrawOwnPicture(HDC target, const RECT& area);

}  // namespace carousel
