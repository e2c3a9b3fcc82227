#pragma once
// Which configured saver paths the agent may start: it runs a saver only from a full path, so that
// nothing is ever looked up along a search path or in the current folder.
#include <cstddef>

namespace corners {

enum class SaverPathVerdict { Usable, Empty, NotAbsolute, NotScr, TooLong, BadCharacters };

// Judges the text (at most size bytes, zero-terminated or not): a drive path ("C:\...") or a
// network path ("\\server\share\..."), naming a file that ends in ".scr" (any case), shorter than
// MAX_PATH, without quotes or control characters.
SaverPathVerdict JudgeSaverPath(const char* text, size_t size);

// For traces.
const char* VerdictText(SaverPathVerdict verdict);

}  // namespace corners
