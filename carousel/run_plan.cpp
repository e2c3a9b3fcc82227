#include "run_plan.h"

namespace carousel {

SaverPicker::SaverPicker(size_t count, MonitorChoice monitors, OrderChoice order, uint32_t seed)
    : monitors_(monitors) {
  Rotation rotation(count, order, seed);
  for (size_t i = 0; i < count; ++i) ring_.push_back(rotation.Next());
}

size_t SaverPicker::Join(size_t monitor) const {
  return Shared() ? shared_ : monitor;
}

size_t SaverPicker::SaverAt(size_t place) const {
  return ring_.empty() ? NoSaver : ring_[place % ring_.size()];
}

size_t SaverPicker::Step(size_t place) {
  if (!Shared()) return place + 1;
  // Every monitor of the run steps at once: the first to ask moves the run's place.
  if (place == shared_) ++shared_;
  return shared_;
}

size_t SaverPicker::Replace(size_t place, const std::vector<size_t>& shownElsewhere) {
  if (Shared()) return Step(place);
  const size_t own = SaverAt(place);
  for (size_t step = 1; step < ring_.size(); ++step) {
    const size_t saver = SaverAt(place + step);
    if (saver == own) continue;
    bool elsewhere = false;
    for (size_t other : shownElsewhere) elsewhere = elsewhere || other == saver;
    if (!elsewhere) return place + step;
  }
  return place + 1;
}

bool CycleOver(uint32_t cycleSeconds, uint32_t startedMs, uint32_t nowMs) {
  if (cycleSeconds == 0) return false;
  // Unsigned subtraction measures across the counter's wrap.
  return static_cast<uint64_t>(nowMs - startedMs) >= static_cast<uint64_t>(cycleSeconds) * 1000u;
}

}  // namespace carousel
