#include "core/trace_line.h"

#include "core/bounded_text.h"

#include <cstring>

namespace morvane {

const char plainTraceEnding[] = "___________  \n\r";
const char taggedTraceEnding[] = "_________  \n\r";

size_t FormatTraceLine(char* line, size_t capacity, const char* tag, const char* text,
                       const char* ending) {
  if (capacity == 0) return 0;
  line[0] = 0;
  size_t endingLength = std::strlen(ending);
  // The head gets what the ending leaves, so a cut line still ends the way readers expect.
  size_t headCapacity = capacity > endingLength ? capacity - endingLength : 1;
  if (tag) {
    AppendText(line, headCapacity, tag);
    AppendText(line, headCapacity, ": ");
  }
  AppendText(line, headCapacity, text);
  return AppendText(line, capacity, ending);
}

}  // namespace morvane
