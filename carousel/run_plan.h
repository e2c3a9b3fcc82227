#pragma once
// What a full-screen run decides on its ticks, apart from the windows and processes it does it
// with: which saver a monitor shows next, when a cycle is over, whether a child stopped
// answering. No Win32 here.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "carousel_settings.h"
#include "rotation.h"

namespace carousel {

constexpr size_t NoSaver = static_cast<size_t>(-1);

// The savers the monitors show. The list is laid out once per run as a ring, in the stored order
// or shuffled (every saver once, before any repeats); each monitor holds a place on it and shows
// the saver there. Each: the monitors start on neighbouring places and all step one place on at
// each cycle, so they keep showing different savers while there are enough, and each changes
// every time, also with as many savers as monitors. Same: one place for every monitor.
class SaverPicker {
 public:
  SaverPicker(size_t count, MonitorChoice monitors, OrderChoice order, uint32_t seed);

  bool Shared() const { return monitors_ == MonitorChoice::Same; }
  // The place of a monitor that joins the run, by its number in the run (0 the primary): Each,
  // the monitor's own, so that the list starts on the primary and goes on in the system's order
  // of the monitors; Same, the run's.
  size_t Join(size_t monitor) const;
  // The saver at a place; NoSaver for an empty list.
  size_t SaverAt(size_t place) const;
  // The cycle is over for a monitor at place: its next place (Same: the run's, for all).
  size_t Step(size_t place);
  // A monitor's saver must go (it crashed, ended or hangs): the first place on from there whose
  // saver is neither its own nor one shown elsewhere, else simply the next.
  size_t Replace(size_t place, const std::vector<size_t>& shownElsewhere);

 private:
  MonitorChoice monitors_;
  std::vector<size_t> ring_;
  size_t shared_ = 0;
};

// Whether a saver shown since startedMs has had its cycle at nowMs; milliseconds of a 32-bit tick
// counter that may wrap between the two. A cycle of 0 never ends.
bool CycleOver(uint32_t cycleSeconds, uint32_t startedMs, uint32_t nowMs);

// A child window's answers to the pings sent to it on the ticks: it hangs when it has answered
// none for longer than HangMs.
class PingState {
 public:
  static constexpr uint32_t HangMs = 1000;

  explicit PingState(uint32_t nowMs = 0) : answeredMs_(nowMs) {}
  void Answered(uint32_t nowMs) { answeredMs_ = nowMs; }
  bool Hung(uint32_t nowMs) const { return nowMs - answeredMs_ > HangMs; }
  // After the child was held, or when its window is new: it had no chance to answer.
  void Forgive(uint32_t nowMs) { answeredMs_ = nowMs; }

 private:
  uint32_t answeredMs_;
};

}  // namespace carousel
