#include "displays/display_layout.h"

#include <cstring>

namespace morvane {

namespace {

bool HasArea(const ScreenBox& box) {
  return box.right > box.left && box.bottom > box.top;
}

bool SameBox(const ScreenBox& a, const ScreenBox& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool Contains(const ScreenBox& box, int32_t x, int32_t y) {
  return x >= box.left && x < box.right && y >= box.top && y < box.bottom;
}

void CopyKey(char (&to)[MonitorKeySize], const char* from) {
  std::memset(to, 0, sizeof to);
  for (int i = 0; from && i < MonitorKeySize - 1 && from[i]; ++i) to[i] = from[i];
}

bool SameKey(const char* a, const char* b) {
  return std::strncmp(a, b, MonitorKeySize) == 0;
}

// The monitors that get a window, in the system's order: those with an area, each area once.
int UsableMonitors(const DesktopMonitor* monitors, int count, const DesktopMonitor* usable[]) {
  int used = 0;
  for (int i = 0; i < count && used < MaxRunWindows; ++i) {
    if (!HasArea(monitors[i].area)) continue;
    bool mirrored = false;
    for (int j = 0; j < used; ++j)
      mirrored = mirrored || SameBox(usable[j]->area, monitors[i].area);
    if (!mirrored) usable[used++] = &monitors[i];
  }
  return used;
}

int PrimaryOf(const DesktopMonitor* const usable[], int count) {
  for (int i = 0; i < count; ++i) {
    if (usable[i]->primary) return i;
  }
  for (int i = 0; i < count; ++i) {
    if (Contains(usable[i]->area, 0, 0)) return i;
  }
  return 0;
}

ScreenBox BoundingBox(const DesktopMonitor* const usable[], int count) {
  ScreenBox box = usable[0]->area;
  for (int i = 1; i < count; ++i) {
    const ScreenBox& area = usable[i]->area;
    if (area.left < box.left) box.left = area.left;
    if (area.top < box.top) box.top = area.top;
    if (area.right > box.right) box.right = area.right;
    if (area.bottom > box.bottom) box.bottom = area.bottom;
  }
  return box;
}

void AddWindow(RunPlan& plan, RunWindowKind kind, const ScreenBox& area, int number,
               const char* monitor) {
  PlannedWindow& window = plan.windows[plan.count++];
  window.kind = kind;
  window.area = area;
  window.number = number;
  CopyKey(window.monitor, monitor);
}

}  // namespace

bool IsLayoutPolicy(int policy) {
  return policy == PolicyPrimary || policy == PolicyEach || policy == PolicySpan;
}

RunPlan PlanRunWindows(int policy, const DesktopMonitor* monitors, int count) {
  RunPlan plan = {};
  const DesktopMonitor* usable[MaxRunWindows];
  int used = monitors ? UsableMonitors(monitors, count, usable) : 0;
  if (used == 0) return plan;
  if (policy == PolicySpan) {
    AddWindow(plan, RunWindowKind::Saver, BoundingBox(usable, used), 0, "");
    // Under it, a cover per monitor: savers written for one screen shrink their spanning window
    // to the primary monitor, and the others would show the desktop.
    for (int i = 0; i < used && plan.count < MaxRunWindows; ++i)
      AddWindow(plan, RunWindowKind::Cover, usable[i]->area, i + 1, usable[i]->key);
    return plan;
  }
  int primary = PrimaryOf(usable, used);
  AddWindow(plan, RunWindowKind::Saver, usable[primary]->area, 0, usable[primary]->key);
  RunWindowKind others = policy == PolicyEach ? RunWindowKind::Saver : RunWindowKind::Cover;
  int number = 1;
  for (int i = 0; i < used; ++i) {
    if (i != primary) AddWindow(plan, others, usable[i]->area, number++, usable[i]->key);
  }
  return plan;
}

namespace {

// Gives each plan window still free the first free existing window that matches.
template <typename Matches>
void MatchFree(const PlannedWindow* existing, int existingCount, const RunPlan& plan,
               RelayoutMatch& match, Matches matches) {
  for (int i = 0; i < existingCount; ++i) {
    if (match.placeOf[i] >= 0) continue;
    for (int j = 0; j < plan.count; ++j) {
      if (match.taken[j] || !matches(existing[i], plan.windows[j])) continue;
      match.placeOf[i] = j;
      match.taken[j] = true;
      break;
    }
  }
}

bool IsFirstSaver(const PlannedWindow& window) {
  return window.kind == RunWindowKind::Saver && window.number == 0;
}

}  // namespace

RelayoutMatch MatchRelayout(const PlannedWindow* existing, int existingCount, const RunPlan& plan) {
  RelayoutMatch match = {};
  if (existingCount > MaxRunWindows) existingCount = MaxRunWindows;
  for (int i = 0; i < MaxRunWindows; ++i) match.placeOf[i] = -1;
  // The run's first window carries the framework's dialogs and its state: it is never destroyed.
  // It stays with its monitor while that is there, and else takes the new first place, before a
  // window whose monitor that is could take it.
  MatchFree(
      existing, existingCount, plan, match, [](const PlannedWindow& e, const PlannedWindow& p) {
        return IsFirstSaver(e) && p.kind == RunWindowKind::Saver && SameKey(e.monitor, p.monitor);
      });
  MatchFree(existing, existingCount, plan, match,
            [](const PlannedWindow& e, const PlannedWindow& p) {
              return IsFirstSaver(e) && IsFirstSaver(p);
            });
  MatchFree(existing, existingCount, plan, match,
            [](const PlannedWindow& e, const PlannedWindow& p) {
              return e.kind == p.kind && SameKey(e.monitor, p.monitor);
            });
  // Covers have no state of their own.
  MatchFree(existing, existingCount, plan, match,
            [](const PlannedWindow& e, const PlannedWindow& p) {
              return e.kind == RunWindowKind::Cover && p.kind == RunWindowKind::Cover;
            });
  return match;
}

bool MovedPastThreshold(ScreenPoint origin, ScreenPoint now, int32_t threshold) {
  long long limit = threshold < 0 ? 0 : threshold;
  long long dx = static_cast<long long>(now.x) - origin.x;
  long long dy = static_cast<long long>(now.y) - origin.y;
  if (dx < 0) dx = -dx;
  if (dy < 0) dy = -dy;
  return dx > limit || dy > limit;
}

namespace {

// The corner pixel of a box, in corner order (top-left, top-right, bottom-right, bottom-left).
ScreenPoint CornerOf(const ScreenBox& box, int corner) {
  bool right = corner == 1 || corner == 2;
  bool bottom = corner == 2 || corner == 3;
  return {right ? box.right - 1 : box.left, bottom ? box.bottom - 1 : box.top};
}

// In double: the square of a distance across the whole 32-bit range does not fit 64 bits.
double SquaredDistance(ScreenPoint a, ScreenPoint b) {
  double dx = static_cast<double>(a.x) - b.x;
  double dy = static_cast<double>(a.y) - b.y;
  return dx * dx + dy * dy;
}

}  // namespace

bool DesktopCorners(const DesktopMonitor* monitors, int count, ScreenPoint corners[4]) {
  const DesktopMonitor* usable[MaxRunWindows];
  int used = monitors ? UsableMonitors(monitors, count, usable) : 0;
  if (used == 0) return false;
  ScreenBox bounds = BoundingBox(usable, used);
  for (int corner = 0; corner < 4; ++corner) {
    ScreenPoint target = CornerOf(bounds, corner);
    ScreenPoint best = CornerOf(usable[0]->area, corner);
    for (int i = 1; i < used; ++i) {
      ScreenPoint candidate = CornerOf(usable[i]->area, corner);
      if (SquaredDistance(candidate, target) < SquaredDistance(best, target)) best = candidate;
    }
    corners[corner] = best;
  }
  return true;
}

}  // namespace morvane
