#pragma once
// Which corners are hot: the desktop's four outer corners, or every corner of every monitor where
// the desktop does not go on. The hot-corner agent keeps the user's choice under its own key; a
// saver reads it there too, so that both judge the same corners.
#include <cstddef>

namespace morvane {

constexpr char hotCornersKey[] = "Software\\Morvane\\Hot Corners";
// REG_SZ "desktop" or "each"; anything else, or nothing, is "desktop".
constexpr char cornerModeValue[] = "Corners";

enum class CornerMode { Desktop, Each };

// Reads at most size bytes of text (it need not end with a zero), case-insensitively.
inline CornerMode CornerModeFromText(const char* text, size_t size) {
  const char each[] = "each";
  size_t i = 0;
  for (; i < size && text[i]; ++i) {
    char c = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
    if (i >= sizeof each - 1 || c != each[i]) return CornerMode::Desktop;
  }
  return i == sizeof each - 1 ? CornerMode::Each : CornerMode::Desktop;
}

inline const char* CornerModeText(CornerMode mode) {
  return mode == CornerMode::Each ? "each" : "desktop";
}

}  // namespace morvane
