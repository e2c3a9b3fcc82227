#include "monitor/corner_resources.h"
#include "core/library.h"
#include "morvane.h"

#include <cstring>

namespace morvane {

namespace {

// Dialog editors read the table after the call, so it lives as long as the library.
char names[15][16] = {"MS_NOTHING",      "MS_PREVIEW",      "MS_CORNERS",      "MS_CTOPLEFTDEF",
                      "MS_CTOPLEFTNOW",  "MS_CTOPLEFTNEV",  "MS_CTOPRIGHTDEF", "MS_CTOPRIGHTNOW",
                      "MS_CTOPRIGHTNEV", "MS_CBOTRIGHTDEF", "MS_CBOTRIGHTNOW", "MS_CBOTRIGHTNEV",
                      "MS_CBOTLEFTDEF",  "MS_CBOTLEFTNOW",  "MS_CBOTLEFTNEV"};

CCSTYLEFLAGA styleFlags[15] = {
    {MS_NOTHING, 0x3, names[0]},         {MS_PREVIEW, 0x3, names[1]},
    {MS_CORNERS, 0x3, names[2]},         {MS_CTOPLEFTDEF, 0x30, names[3]},
    {MS_CTOPLEFTNOW, 0x10, names[4]},    {MS_CTOPLEFTNEV, 0x20, names[5]},
    {MS_CTOPRIGHTDEF, 0xC0, names[6]},   {MS_CTOPRIGHTNOW, 0x40, names[7]},
    {MS_CTOPRIGHTNEV, 0x80, names[8]},   {MS_CBOTRIGHTDEF, 0x300, names[9]},
    {MS_CBOTRIGHTNOW, 0x100, names[10]}, {MS_CBOTRIGHTNEV, 0x200, names[11]},
    {MS_CBOTLEFTDEF, 0xC00, names[12]},  {MS_CBOTLEFTNOW, 0x400, names[13]},
    {MS_CBOTLEFTNEV, 0x800, names[14]}};

BOOL CALLBACK ChangeStyle(HWND owner, LPCCSTYLEA) {
  MessageBoxA(owner, "Function for changing style", "Custom control", MB_OK);
  return TRUE;
}

INT CALLBACK SizeToText(DWORD, DWORD, HFONT, LPSTR) {
  return Corners().monitorPictureSize.cx;
}

void Copy(char* target, size_t capacity, const char* text) {
  std::strncpy(target, text, capacity - 1);
  target[capacity - 1] = '\0';
}

}  // namespace

}  // namespace morvane
// The public operations: C linkage in the global namespace, built on the internals.
using namespace morvane;

extern "C" UINT WINAPI MonitorControlInfo(LPCCINFOA info) {
  if (!info) return 1;
  bool sized = libraryState.initialised;
  Copy(info->szClass, sizeof info->szClass, "MorvaneMonitorClass");
  info->flOptions = CCF_NOTEXT;
  Copy(info->szDesc, sizeof info->szDesc, "Monitor");
  info->cxDefault = sized ? static_cast<UINT>(Corners().monitorPictureSize.cx) : 0;
  info->cyDefault = sized ? static_cast<UINT>(Corners().monitorPictureSize.cy) : 0;
  info->flStyleDefault = WS_CHILD | WS_VISIBLE | MS_PREVIEW;
  info->flExtStyleDefault = 0;
  info->flCtrlTypeMask = 0xFF3;
  info->szTextDefault[0] = '\0';
  info->cStyleFlags = 15;
  info->aStyleFlags = styleFlags;
  info->lpfnStyle = ChangeStyle;
  info->lpfnSizeToText = SizeToText;
  info->dwReserved1 = 0;
  info->dwReserved2 = 0;
  return 1;
}
