#include "monitor/corner_resources.h"
#include "core/library.h"
#include "monitor/monitor_style.h"
#include "monitor/monitor_window.h"
#include "core/resource_ids.h"

namespace morvane {

namespace {

// The hot corners work only through the System Agent: say so once per initialisation, at the
// first choice in any monitor control.
void WarnAboutAgentOnce(HWND control) {
  if (libraryState.systemAgentPresent || libraryState.agentWarningShown) return;
  char text[MessageCapacity];
  char caption[NameCapacity];
  if (LoadFrameworkString(IDS_AGENT_WARNING, text, sizeof text) &&
      LoadFrameworkString(IDS_WARNING_CAPTION, caption, sizeof caption)) {
    MessageBoxA(GetParent(control), text, caption, MB_OK | MB_ICONWARNING);
  }
  libraryState.agentWarningShown = 1;
}

}  // namespace

void OnMonitorCommand(HWND control, UINT commandId) {
  WarnAboutAgentOnce(control);
  int corner = static_cast<int>((commandId & 0xF00) >> 8);
  int chosen = static_cast<int>(commandId & 0xFF);
  if (corner >= CornerCount || chosen >= CornerStateCount) return;
  uint32_t style = static_cast<uint32_t>(GetWindowLongPtrA(control, GWL_STYLE));
  int states[CornerCount];
  for (int index = 0; index < CornerCount; ++index) states[index] = CornerStateOf(style, index);
  states[corner] = chosen;
  SetWindowLongPtrA(control, GWL_STYLE, static_cast<LONG_PTR>(WithCornerStates(style, states)));
  RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  SendMessageA(GetParent(control), WM_COMMAND, static_cast<WPARAM>(LOWORD(GetDlgCtrlID(control))),
               reinterpret_cast<LPARAM>(control));
}

}  // namespace morvane
