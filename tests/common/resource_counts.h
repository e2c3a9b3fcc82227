#pragma once
// What this process holds of the system's resources, counted in ways that work under Wine, where
// GetGuiResources and GetProcessHandleCount answer 0 whatever the process holds.
#include <windows.h>

#include <ostream>
#include <string>

struct ResourceCounts {
  long kernelHandles = -1;  // handles in the process's handle table; -1 when they cannot be read
  long gdiObjects = -1;     // live entries of the process's GDI handle table
  long userWindows = -1;    // windows of the process: top-level, child and message-only
  long userMenus = -1;      // menus the process has created and not destroyed
  long threads = -1;        // threads of the process, the calling one included

  bool operator==(const ResourceCounts& other) const;
  bool operator!=(const ResourceCounts& other) const { return !(*this == other); }
};

// The live GDI objects by kind. Display DCs are mostly the window DCs that the system hands out
// from its cache (GetDC, BeginPaint) and keeps for reuse; memory DCs are the ones a program
// creates; internal objects are Wine's own, which no call of a program returns (GetObjectType
// answers 0 for them).
struct GdiKinds {
  long displayDcs = 0, memoryDcs = 0, regions = 0, bitmaps = 0, brushes = 0, pens = 0, fonts = 0,
       palettes = 0, internal = 0, other = 0;
};
GdiKinds CountGdiObjectsByKind();
std::string Describe(const GdiKinds& kinds);

// Every count of this process now.
ResourceCounts CountResources();

long CountKernelHandles();
long CountGdiObjects();
long CountUserWindows();
long CountUserMenus();
long CountThreads();

// "handles 41 gdi 24 windows 3 menus 0 threads 2"
std::string Describe(const ResourceCounts& counts);
// Failure messages show the counts by Describe.
void PrintTo(const ResourceCounts& counts, std::ostream* out);
