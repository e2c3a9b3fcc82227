#include "stress_support.h"

#include <cstdio>

double StopwatchMs() {
  static LARGE_INTEGER frequency;
  if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

ResourceCounts CountsOnceSettled(const ResourceCounts& expected, DWORD limitMs) {
  DWORD start = GetTickCount();
  ResourceCounts counts = CountResources();
  while (counts != expected && GetTickCount() - start < limitMs) {
    Sleep(10);
    counts = CountResources();
  }
  return counts;
}

bool PumpMessagesUntil(const std::function<bool()>& done, DWORD limitMs) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start >= limitMs) return done();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }
  return true;
}

ResourceCounts SteadyCounts(DWORD limitMs) {
  DWORD start = GetTickCount();
  ResourceCounts previous = CountResources();
  for (;;) {
    Sleep(20);
    ResourceCounts counts = CountResources();
    if (counts == previous || GetTickCount() - start >= limitMs) return counts;
    previous = counts;
  }
}

void PrintFigures(const StressFigures& figures) {
  std::printf("[stress] %s: %d cycles in %.0f ms; before %s; during %s; after %s\n",
              figures.name.c_str(), figures.cycles, figures.durationMs,
              Describe(figures.before).c_str(), Describe(figures.during).c_str(),
              Describe(figures.after).c_str());
  std::fflush(stdout);
}

namespace {

// Every count but the GDI total must be back exactly; of the GDI objects, every kind but those
// Wine keeps for reuse exactly, and those within the allowance.
void ExpectWithinAllowance(const StressFigures& figures, long bound) {
  ResourceCounts after = figures.after;
  after.gdiObjects = figures.before.gdiObjects;
  EXPECT_EQ(figures.before, after) << figures.name;
  const GdiKinds& before = figures.gdiBefore;
  GdiKinds exact = figures.gdiAfter;
  const struct {
    const char* kind;
    long GdiKinds::*field;
  } keptKinds[] = {{"display DCs", &GdiKinds::displayDcs}, {"regions", &GdiKinds::regions},
                   {"internal", &GdiKinds::internal},      {"bitmaps", &GdiKinds::bitmaps},
                   {"brushes", &GdiKinds::brushes},        {"pens", &GdiKinds::pens}};
  for (const auto& kept : keptKinds) {
    long grown = exact.*kept.field - before.*kept.field;
    EXPECT_GE(grown, 0) << kept.kind;
    EXPECT_LT(grown, bound) << kept.kind << " grew by " << grown;
    exact.*kept.field = before.*kept.field;
  }
  EXPECT_EQ(Describe(before), Describe(exact)) << figures.name;
}

}  // namespace

void ExpectNoLeak(const std::string& name, const std::function<void()>& warmUp,
                  const std::function<int(StressFigures*)>& body, GdiAllowance allowance) {
  warmUp();
  if (::testing::Test::HasFatalFailure()) return;
  StressFigures figures;
  figures.name = name;
  // The warm-up's own threads and windows may still be on their way out.
  figures.before = SteadyCounts();
  figures.gdiBefore = CountGdiObjectsByKind();
  double start = StopwatchMs();
  figures.cycles = body(&figures);
  figures.durationMs = StopwatchMs() - start;
  if (::testing::Test::HasFatalFailure()) return;
  figures.after = CountsOnceSettled(figures.before);
  figures.gdiAfter = CountGdiObjectsByKind();
  PrintFigures(figures);
  if (allowance.bound == 0) {
    EXPECT_EQ(figures.before, figures.after) << name;
    return;
  }
  std::printf("[stress] %s: GDI objects before: %s\n", name.c_str(),
              Describe(figures.gdiBefore).c_str());
  std::printf("[stress] %s: GDI objects after:  %s\n", name.c_str(),
              Describe(figures.gdiAfter).c_str());
  ExpectWithinAllowance(figures, allowance.bound);
}
