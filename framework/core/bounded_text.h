#pragma once
// Copying and joining texts into fixed buffers without ever writing or reading past either side.
#include <cstddef>

namespace morvane {

// Copies source into target (capacity bytes, terminating zero included), reading at most
// sourceLimit bytes of source even when it has no terminating zero. A null source copies
// nothing. Returns the length written; a zero capacity writes nothing and returns 0.
size_t CopyText(char* target, size_t capacity, const char* source, size_t sourceLimit);

// Appends source to the zero-terminated text in target, cut so that the result fits capacity.
// A target without a zero inside capacity is cut to capacity - 1 first. Returns the new length.
size_t AppendText(char* target, size_t capacity, const char* source);

// Length of a text that may lack its zero within limit bytes.
size_t BoundedLength(const char* text, size_t limit);

}  // namespace morvane
