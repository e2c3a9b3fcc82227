#include "run/saver_run.h"

namespace morvane {

namespace {

// The window the switch numbers, when it is one.
HWND NumberedWindow(const SaverCommand& command) {
  if (!command.hasNumber) return nullptr;
  HWND window = reinterpret_cast<HWND>(static_cast<INT_PTR>(command.number));
  return IsWindow(window) ? window : nullptr;
}

SaverRequest PreviewRequest(const SaverCommand& command) {
  HWND parent = FindCompanionWindow(command.switchText);
  if (!parent) parent = NumberedWindow(command);
  return SaverRequest{parent ? SaverAction::Preview : SaverAction::Refuse, parent};
}

HWND ChangePasswordParent(const SaverCommand& command) {
  HWND numbered = NumberedWindow(command);
  return numbered ? numbered : GetForegroundWindow();
}

}  // namespace

SaverRequest ResolveSaverCommand(const SaverCommand& command) {
  switch (command.action) {
    case SaverAction::Preview: return PreviewRequest(command);
    case SaverAction::ChangePassword: return {command.action, ChangePasswordParent(command)};
    case SaverAction::Configure:
      return {command.action, command.overForeground ? GetForegroundWindow() : nullptr};
    default: return {command.action, nullptr};
  }
}

}  // namespace morvane
