#pragma once
// Which saver shows next, from a list of count savers. No Win32 here.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "carousel_settings.h"

namespace carousel {

class Rotation {
 public:
  Rotation(size_t count, OrderChoice order, uint32_t seed);

  // List: 0, 1, 2, ... wrapping. Random: a shuffle bag; every saver once before any repeats, and
  // no saver twice in a row across bags when count > 1. count 0: never called (returns 0).
  size_t Next();

 private:
  void Refill();
  uint32_t NextRandom();

  size_t count_;
  OrderChoice order_;
  uint32_t state_;
  size_t position_ = 0;
  std::vector<size_t> bag_;
  size_t last_;
  bool hasLast_ = false;
};

}  // namespace carousel
