// Fuzzes the command-line reading that every saver run starts with: any bytes as a command line,
// and as a companion name and the text after a preview switch. Stops at the first broken rule.
#include "run/command_line.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

using namespace morvane;

namespace {

void Require(bool rule) {
  if (!rule) __builtin_trap();
}

void CheckCommand(const std::vector<char>& text) {
  SaverCommand command = ParseCommandLine(text.data());
  const char* begin = text.data();
  const char* end = begin + text.size();
  Require((command.switchText != nullptr) == (command.action == SaverAction::Preview));
  if (command.switchText) {
    Require(command.switchText >= begin && command.switchText < end);
    NamesCompanion(command.switchText, "Tavisk");
  }
  Require(!command.hasNumber || command.action == SaverAction::Preview ||
          command.action == SaverAction::ChangePassword);
  Require(!command.overForeground || command.action == SaverAction::Configure);
}

// The input up to its first zero byte is the name, the rest the switch text.
void CheckCompanion(const uint8_t* data, size_t size) {
  const uint8_t* zero = static_cast<const uint8_t*>(std::memchr(data, 0, size));
  if (!zero) return;
  std::vector<char> name(data, zero);
  name.push_back(0);
  std::vector<char> switchText(zero + 1, data + size);
  switchText.push_back(0);
  bool names = NamesCompanion(switchText.data(), name.data());
  // A match is the name exactly, but for ASCII case, right after the letter or after spaces.
  if (names)
    Require(std::strlen(name.data()) > 0 && std::strlen(name.data()) < CompanionCopyCapacity - 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<char> text(data, data + size);
  text.push_back(0);
  CheckCommand(text);
  CheckCompanion(data, size);
  return 0;
}
