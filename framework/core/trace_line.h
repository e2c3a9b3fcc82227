#pragma once
// The layout of one diagnostic line, kept apart from the debugger output so it can be tested alone.
#include <cstddef>

namespace morvane {

// A trace line holds at most this many characters and its terminating zero.
enum { TraceLineCapacity = 200 };

extern const char plainTraceEnding[];   // "___________  \n\r"
extern const char taggedTraceEnding[];  // "_________  \n\r"

// Writes tag, ": " and text (or the text alone when tag is null), then ending, into line. When the
// whole would not fit, the tag and text are cut so that the ending is always kept. Returns the
// length.
size_t FormatTraceLine(char* line, size_t capacity, const char* tag, const char* text,
                       const char* ending);

}  // namespace morvane
