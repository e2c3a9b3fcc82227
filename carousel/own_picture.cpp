#include "own_picture.h"

namespace carousel {

void DrawOwnPicture(HDC target, const RECT& area) {
  FillRect(target, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  const LONG width = area.right - area.left, height = area.bottom - area.top;
  if (width < 8 || height < 8) return;
  const COLORREF colours[] = {RGB(40, 90, 200), RGB(200, 120, 30), RGB(60, 170, 90)};
  // Back to front: the middle card last, on top.
  const int order[] = {0, 2, 1};
  const LONG cardWidth = width * 2 / 5, cardHeight = height / 2;
  for (int place : order) {
    const LONG left = area.left + width / 10 + place * (width / 2 - cardWidth / 2) / 2;
    const LONG top = area.top + height / 4 + (place == 1 ? -height / 10 : 0);
    HBRUSH brush = CreateSolidBrush(colours[place]);
    HGDIOBJ oldBrush = SelectObject(target, brush);
    HGDIOBJ oldPen = SelectObject(target, GetStockObject(WHITE_PEN));
    RoundRect(target, left, top, left + cardWidth, top + cardHeight, width / 20 + 1,
              height / 20 + 1);
    SelectObject(target, oldPen);
    SelectObject(target, oldBrush);
    DeleteObject(brush);
  }
}

}  // namespace carousel
