#include "resource_counts.h"

#include <tlhelp32.h>
#include <winternl.h>

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <vector>

namespace {

// ---- Kernel handles ----
// NOTE: GetProcessHandleCount answers 0 under Wine. The system-wide handle list comes from the
// server and names each handle's process, so the process's own entries are exactly its handles.

const ULONG extendedHandleInformation = 64;  // SystemExtendedHandleInformation
const ULONG legacyHandleInformation = 16;    // SystemHandleInformation
const NTSTATUS lengthMismatch = static_cast<NTSTATUS>(0xC0000004);

// The extended list, with whole process ids and pointer-sized fields.
struct ExtendedHandleEntry {
  void* object;
  ULONG_PTR processId;
  ULONG_PTR handleValue;
  ULONG grantedAccess;
  USHORT creatorBackTraceIndex;
  USHORT objectTypeIndex;
  ULONG handleAttributes;
  ULONG reserved;
};
struct ExtendedHandleList {
  ULONG_PTR count;
  ULONG_PTR reserved;
  ExtendedHandleEntry entries[1];
};

// The first list, for systems without the extended one: process ids cut to 16 bits.
struct LegacyHandleEntry {
  USHORT processId;
  USHORT creatorBackTraceIndex;
  UCHAR objectTypeIndex;
  UCHAR handleAttributes;
  USHORT handleValue;
  void* object;
  ULONG grantedAccess;
};
struct LegacyHandleList {
  ULONG count;
  LegacyHandleEntry entries[1];
};

using QuerySystemInformation = NTSTATUS(WINAPI*)(ULONG, void*, ULONG, ULONG*);

QuerySystemInformation SystemQuery() {
  static auto query = reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  return query;
}

// The list of one information class, grown until it fits; empty when the class is refused.
bool QueryList(ULONG informationClass, std::vector<unsigned char>* buffer) {
  QuerySystemInformation query = SystemQuery();
  if (!query) return false;
  if (buffer->size() < 0x10000) buffer->resize(0x10000);
  for (;;) {
    ULONG needed = 0;
    NTSTATUS status =
        query(informationClass, buffer->data(), static_cast<ULONG>(buffer->size()), &needed);
    if (status == lengthMismatch) {
      buffer->resize(buffer->size() * 2 > needed ? buffer->size() * 2 : needed + 0x1000);
      continue;
    }
    return status >= 0;
  }
}

template <typename List>
long CountOwnEntries(const std::vector<unsigned char>& buffer, ULONG_PTR processId) {
  const List* list = reinterpret_cast<const List*>(buffer.data());
  long own = 0;
  for (ULONG_PTR i = 0; i < list->count; ++i) {
    if (list->entries[i].processId == processId) ++own;
  }
  return own;
}

// ---- GDI objects ----
// Wine does not implement GetGuiResources. It keeps a GDI handle table per process
// and publishes it, as Windows does, through the PEB's GdiSharedHandleTable. A live object's entry
// has a non-zero type; freeing an object zeroes the type but not the extended type, and reuses
// the object field as the free-list link, so neither of those tells a live entry.

// The PEB up to GdiSharedHandleTable, with the field types that give its offset on either
// pointer size (0x94 for 32-bit programs, 0xF8 for 64-bit ones).
struct PebUpToGdiTable {
  BOOLEAN inheritedAddressSpace, readImageFileExecOptions, beingDebugged, bitField;
  HANDLE mutant;
  void* imageBaseAddress;
  void* ldr;
  void* processParameters;
  void* subSystemData;
  void* processHeap;
  void* fastPebLock;
  void* atlThunkSListPtr;
  void* ifeoKey;
  ULONG crossProcessFlags;
  void* kernelCallbackTable;
  ULONG systemReserved;
  ULONG atlThunkSListPtr32;
  void* apiSetMap;
  ULONG tlsExpansionCounter;
  void* tlsBitmap;
  ULONG tlsBitmapBits[2];
  void* readOnlySharedMemoryBase;
  void* sharedData;
  void** readOnlyStaticServerData;
  void* ansiCodePageData;
  void* oemCodePageData;
  void* unicodeCaseTableData;
  ULONG numberOfProcessors;
  ULONG ntGlobalFlag;
  LARGE_INTEGER criticalSectionTimeout;
  SIZE_T heapSegmentReserve;
  SIZE_T heapSegmentCommit;
  SIZE_T heapDeCommitTotalFreeThreshold;
  SIZE_T heapDeCommitFreeBlockThreshold;
  ULONG numberOfHeaps;
  ULONG maximumNumberOfHeaps;
  void** processHeaps;
  void* gdiSharedHandleTable;
};
#ifdef _WIN64
static_assert(offsetof(PebUpToGdiTable, gdiSharedHandleTable) == 0xF8, "64-bit PEB layout");
#else
static_assert(offsetof(PebUpToGdiTable, gdiSharedHandleTable) == 0x94, "32-bit PEB layout");
#endif

// An entry of the table: 24 bytes whatever the program's pointer size (64-bit fields throughout).
struct GdiHandleEntry {
  uint64_t object;
  uint32_t owner;   // process id in the low 16 bits, lock and count above
  uint8_t extType;  // extended type in bits 0-6, stock flag in bit 7
  uint8_t generation;
  uint8_t type;  // 0 once the object is freed
  uint8_t flags;
  uint64_t userPointer;
};
static_assert(sizeof(GdiHandleEntry) == 24, "GDI handle table entry");
const int gdiHandleTableSize = 0x10000;

// Wine's extended type numbers of GDI objects (the entry's type keeps only their low five bits).
enum : uint8_t {
  gdiDisplayDc = 0x01,
  gdiRegion = 0x04,
  gdiSurface = 0x05,
  gdiPalette = 0x08,
  gdiBitmap = 0x09,
  gdiFont = 0x0A,
  gdiBrush = 0x10,
  gdiPen = 0x30,
  gdiMemoryDc = 0x41,
  gdiExtPen = 0x50
};

long* KindCounter(GdiKinds* kinds, const GdiHandleEntry& entry) {
  switch (entry.extType & 0x7F) {
    case gdiDisplayDc: return &kinds->displayDcs;
    case gdiMemoryDc: return &kinds->memoryDcs;
    case gdiRegion: return &kinds->regions;
    case gdiSurface: return &kinds->internal;
    case gdiPalette: return &kinds->palettes;
    case gdiBitmap: return &kinds->bitmaps;
    case gdiFont: return &kinds->fonts;
    case gdiBrush: return &kinds->brushes;
    case gdiPen:
    case gdiExtPen: return &kinds->pens;
    default: return &kinds->other;
  }
}

using QueryProcessInformation = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, void*, ULONG, ULONG*);

const GdiHandleEntry* GdiHandleTable() {
  static auto query = reinterpret_cast<QueryProcessInformation>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
  PROCESS_BASIC_INFORMATION basic = {};
  if (!query ||
      query(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof basic, nullptr) < 0) {
    return nullptr;
  }
  const auto* peb = reinterpret_cast<const PebUpToGdiTable*>(basic.PebBaseAddress);
  return static_cast<const GdiHandleEntry*>(peb->gdiSharedHandleTable);
}

// ---- USER objects ----
// Wine does not implement GetGuiResources, but windows can be enumerated: every
// top-level window with its descendants (ours may sit inside another process's window), and the
// message-only windows, which EnumWindows leaves out.

struct WindowTally {
  DWORD processId;
  long count;
};

void TallyIfOwn(HWND window, WindowTally* tally) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == tally->processId) ++tally->count;
}

BOOL CALLBACK TallyChild(HWND window, LPARAM lParam) {
  TallyIfOwn(window, reinterpret_cast<WindowTally*>(lParam));
  return TRUE;
}

BOOL CALLBACK TallyTopLevel(HWND window, LPARAM lParam) {
  TallyIfOwn(window, reinterpret_cast<WindowTally*>(lParam));
  EnumChildWindows(window, TallyChild, lParam);
  return TRUE;
}

// NOTE: no call lists a process's menus. Under Wine a USER handle is an index into one table
// ((index << 1) + 0x20 in the low word, a generation in the high word), and a handle with high
// word 0 stands for whatever currently sits at its index. IsMenu answers only for menus of this
// process (another process's objects are not in its part of the table), so probing every index
// counts exactly the menus this process holds.
const UINT_PTR firstUserHandle = 0x0020;
const UINT_PTR lastUserHandle = 0xFFEF;

}  // namespace

bool ResourceCounts::operator==(const ResourceCounts& other) const {
  return kernelHandles == other.kernelHandles && gdiObjects == other.gdiObjects &&
         userWindows == other.userWindows && userMenus == other.userMenus &&
         threads == other.threads;
}

long CountKernelHandles() {
  static std::vector<unsigned char> buffer;
  ULONG_PTR self = GetCurrentProcessId();
  if (QueryList(extendedHandleInformation, &buffer)) {
    return CountOwnEntries<ExtendedHandleList>(buffer, self);
  }
  if (QueryList(legacyHandleInformation, &buffer)) {
    return CountOwnEntries<LegacyHandleList>(buffer, self & 0xFFFF);
  }
  return -1;
}

long CountGdiObjects() {
  const GdiHandleEntry* table = GdiHandleTable();
  if (!table) return -1;
  long live = 0;
  for (int i = 0; i < gdiHandleTableSize; ++i) {
    if (table[i].type != 0) ++live;
  }
  return live;
}

GdiKinds CountGdiObjectsByKind() {
  GdiKinds kinds;
  const GdiHandleEntry* table = GdiHandleTable();
  if (!table) return kinds;
  for (int i = 0; i < gdiHandleTableSize; ++i) {
    if (table[i].type != 0) ++*KindCounter(&kinds, table[i]);
  }
  return kinds;
}

long CountUserWindows() {
  WindowTally tally = {GetCurrentProcessId(), 0};
  EnumWindows(TallyTopLevel, reinterpret_cast<LPARAM>(&tally));
  for (HWND window = FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); window;
       window = FindWindowExA(HWND_MESSAGE, window, nullptr, nullptr)) {
    TallyTopLevel(window, reinterpret_cast<LPARAM>(&tally));
  }
  return tally.count;
}

long CountUserMenus() {
  long menus = 0;
  for (UINT_PTR handle = firstUserHandle; handle <= lastUserHandle; handle += 2) {
    if (IsMenu(reinterpret_cast<HMENU>(handle))) ++menus;
  }
  return menus;
}

long CountThreads() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  DWORD self = GetCurrentProcessId();
  long threads = 0;
  THREADENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID == self) ++threads;
  }
  CloseHandle(snapshot);
  return threads;
}

ResourceCounts CountResources() {
  ResourceCounts counts;
  counts.threads = CountThreads();
  counts.kernelHandles = CountKernelHandles();
  counts.gdiObjects = CountGdiObjects();
  counts.userWindows = CountUserWindows();
  counts.userMenus = CountUserMenus();
  return counts;
}

std::string Describe(const ResourceCounts& counts) {
  std::ostringstream text;
  text << "handles " << counts.kernelHandles << " gdi " << counts.gdiObjects << " windows "
       << counts.userWindows << " menus " << counts.userMenus << " threads " << counts.threads;
  return text.str();
}

std::string Describe(const GdiKinds& kinds) {
  std::ostringstream text;
  text << "display DCs " << kinds.displayDcs << " memory DCs " << kinds.memoryDcs << " regions "
       << kinds.regions << " bitmaps " << kinds.bitmaps << " brushes " << kinds.brushes << " pens "
       << kinds.pens << " fonts " << kinds.fonts << " palettes " << kinds.palettes << " internal "
       << kinds.internal << " other " << kinds.other;
  return text.str();
}

void PrintTo(const ResourceCounts& counts, std::ostream* out) {
  *out << Describe(counts);
}
