#include "rotation.h"

#include <utility>

namespace carousel {

Rotation::Rotation(size_t count, OrderChoice order, uint32_t seed)
    : count_(count), order_(order), state_(seed ? seed : 0x9E3779B9u), last_(0) {}

// xorshift32: enough to shuffle a few savers, and the same seed gives the same run in tests.
uint32_t Rotation::NextRandom() {
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return state_;
}

// A new bag in a fresh order. Its first saver must not be the one just shown: swapped with a
// random other place in the bag, which keeps the shuffle's other orders equally likely.
void Rotation::Refill() {
  bag_.resize(count_);
  for (size_t i = 0; i < count_; ++i) bag_[i] = i;
  for (size_t i = count_; i > 1; --i) std::swap(bag_[i - 1], bag_[NextRandom() % i]);
  if (hasLast_ && count_ > 1 && bag_[0] == last_) {
    std::swap(bag_[0], bag_[1 + NextRandom() % (count_ - 1)]);
  }
  position_ = 0;
}

size_t Rotation::Next() {
  if (count_ == 0) return 0;
  if (order_ == OrderChoice::List) {
    const size_t next = position_;
    position_ = (position_ + 1) % count_;
    return next;
  }
  if (position_ >= bag_.size()) Refill();
  last_ = bag_[position_++];
  hasLast_ = true;
  return last_;
}

}  // namespace carousel
