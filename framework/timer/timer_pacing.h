#pragma once
// How a timer thread paces its ticks: arithmetic on a wrapping 32-bit millisecond clock, and the
// priority of the thread. Needs no Win32, so it is tested natively.
#include <cstdint>

namespace morvane {

enum class TickPace {
  AtOnce,  // the next tick now: no wait, no yield
  End,     // no more ticks
  Yield,   // the deadline has passed: give up the time slice, then tick
  Wait     // wait waitMs (or until woken), then tick
};

struct NextTick {
  TickPace pace;
  uint32_t waitMs;  // only for TickPace::Wait; never 0 then
};

// The saver answered answer (its SCRM_TIMER result as 32 bits) to the tick that started at clock
// reading t0 and returned at t1. 0: at once. All bits set: the end. Otherwise the next tick is due
// answer ms after t0. Whether that deadline has passed is the sign of the 32-bit difference
// deadline - t1, so a tick that spans the clock's wrap is paced like any other; answers from 2^31
// up are thereby negative delays, whose deadline has always passed (-2 yields).
NextTick PaceNextTick(uint32_t answer, uint32_t t0, uint32_t t1);

// The answer raised to at least minimumMs: 0, shorter delays and the negative ones (yield) become
// minimumMs; the end (all bits set) stays the end. A minimum of 0 changes nothing.
uint32_t AtLeastPeriod(uint32_t answer, uint32_t minimumMs);

// How late, in ms, a tick that was waited for may start and still count as started when it was
// due: a wait on Windows or Wine ends up to about a millisecond after its time-out.
const uint32_t onTimeSlackMs = 2;

// The moment from which the next tick's deadline runs, for a tick whose clock reading at its start
// is now. A tick that followed a full wait for its deadline (waitedFor) and started at most
// onTimeSlackMs after that deadline (due) counts as started at due, so that the wait's lateness
// does not lengthen every period; any other tick (the first, one after an answer of 0 or a yield,
// one woken early, one held up longer) counts from now.
uint32_t TickStart(bool waitedFor, uint32_t due, uint32_t now);

// The priority for a timer thread whose starter runs at priority (a THREAD_PRIORITY_ value): one
// level lower within LOWEST (-2) to HIGHEST (2). TIME_CRITICAL and other values above come down
// to HIGHEST; LOWEST and below stay as they are, since the next level down, IDLE, runs only when
// nothing else wants the processor and would starve the animation.
int PriorityBelow(int priority);

}  // namespace morvane
