#include "core/trace.h"

#include "settings/prefs.h"
#include "core/trace_line.h"

namespace morvane {

namespace {

void WriteTraceLine(const char* tag, const char* text, const char* ending) {
  if (!currentPrefs.debugTrace) return;
  char line[TraceLineCapacity];
  FormatTraceLine(line, sizeof line, tag, text, ending);
  OutputDebugStringA(line);
}

}  // namespace

void Trace(const char* text) {
  WriteTraceLine(nullptr, text, plainTraceEnding);
}

void TraceTagged(const char* tag, const char* text) {
  WriteTraceLine(tag ? tag : "", text, taggedTraceEnding);
}

int DebugMessageBox(HWND owner, const char* text, const char* caption) {
  if (!currentPrefs.debugTrace) return 0;
  return MessageBoxA(owner, text, caption, MB_OK);
}

}  // namespace morvane
