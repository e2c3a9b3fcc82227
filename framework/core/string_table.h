#pragma once
// Strings of one language from a module's string table.
#include <windows.h>

namespace morvane {

// String id of module in exactly the given language, into buffer as LoadStringA would copy it
// (cut to capacity - 1 characters and terminated). The length copied; 0 with an empty buffer when
// the module has no such string in that language, or for a null buffer or a capacity below 1.
int LoadStringOfLanguage(HMODULE module, UINT id, LANGID language, char* buffer, int capacity);

}  // namespace morvane
