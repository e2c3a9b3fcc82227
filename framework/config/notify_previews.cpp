#include <cstring>

#include "config/config_dialog.h"
#include "core/own_messages.h"

namespace morvane {

namespace {

// Class names longer than this cannot be either of the two the walk looks for.
enum { ClassNameCapacity = 49 };

const char nestingClass[] = "Dialog";
const char monitorClass[] = "MorvaneMonitorClass";

// A live preview is the monitor control's inner window's child.
void NotifyMonitorPreview(HWND control, const ChangeNotice& notice) {
  HWND inner = GetWindow(control, GW_CHILD);
  HWND preview = inner ? GetWindow(inner, GW_CHILD) : nullptr;
  if (!preview) return;
  SendOwnMessage(preview, SCRM_SETTINGSCHANGED, notice.flags,
                 reinterpret_cast<LPARAM>(notice.summary));
}

BOOL CALLBACK VisitWindow(HWND window, LPARAM lParam) {
  const ChangeNotice& notice = *reinterpret_cast<const ChangeNotice*>(lParam);
  char className[ClassNameCapacity] = {};
  GetClassNameA(window, className, ClassNameCapacity);
  if (std::strcmp(className, nestingClass) == 0) NotifyPreviews(window, notice);
  if (std::strcmp(className, monitorClass) == 0) NotifyMonitorPreview(window, notice);
  return TRUE;
}

}  // namespace

void NotifyPreviews(HWND source, const ChangeNotice& notice) {
  EnumChildWindows(source, VisitWindow, reinterpret_cast<LPARAM>(&notice));
}

}  // namespace morvane
