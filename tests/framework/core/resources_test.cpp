// The framework's resources in the executable that carries them: every text, the three dialogs,
// the pictures with their mask, and the icon.
#include "monitor/corner_resources.h"
#include "message_box_spy.h"
#include "morvane.h"
#include "settings/prefs.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

using namespace morvane;

namespace {

TEST(Resources, EveryStringLoadsWithItsText) {
  const struct {
    UINT id;
    const char* text;
  } strings[] = {
      {50, "Tavisk"},
      {51,
       "Tavisk was not present: and there was an error attempting to load it. Check that an "
       "up-to-date version is in the current path."},
      {52,
       "Tavisk was succesfully loaded, but didn't seem to respond. Try again, or try loading "
       "it separately."},
      {53,
       "Tavisk was succesfully loaded, but there was some error with its initialisation. Try "
       "loading it separately."},
      {54, "Tavisk could not be found."},
      {55, "Tavisk was there, but not its child. Check you have the latest version."},
      {56, "Morvane has been incorrectly installed.\r\nIt must be placed in the windows directory"},
      {500, "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers"},
      {501, "Password Delay"},
      {502, "Password Delay Index"},
      {503, "Mouse Threshold"},
      {504, "Mouse Threshold Index"},
      {505, "Mouse Corners"},
      {506, "Mute Sound"},
      {507, "Active Config"},
      {3050, "Default"},
      {3051, "Now"},
      {3052, "Never"},
      {3055, "16 17  169 17  169 130  16 130"},
      {3057, "Warning"},
      {3058,
       "You must have the System Agent loaded in order for the mouse hot corners to be "
       "active."},
      {3500, "&About"},
      {3501, "Screen Saver Properties"},
      {3520, "MPR.DLL"},
      {3521, "PwdChangePasswordA"},
      {3522, "SCRSAVE"},
      {3523, "Control Panel\\Desktop"},
      {3524, "ScreenSaveUsePassword"},
      {3525, "PASSWORD.CPL"},
      {3526, "VerifyScreenSavePwd"},
      {3530, "Sage.DLL"},
      {3531, "System_Agent_Detect"},
      {3532, "Screen_Saver_Changed"},
      {3533, "Plus!.HLP"},
      {3534, "High,0"},
      {3535, "Normal,200"},
      {3536, "Low, 400"},
      {3537, "Keyboard only (ignore mouse movement),999999"},
      {3538, "seconds"},
      {3539, "minutes"},
      {3540, "This screensaver always uses a password"},
      {3541, "This screensaver never requires a password"},
      {3560, "morvane.hlp"},
  };
  for (const auto& s : strings) {
    char text[400] = {};
    LoadStringA(GetModuleHandleA(nullptr), s.id, text, sizeof text);
    EXPECT_STREQ(s.text, text) << "string " << s.id;
  }
}

INT_PTR CALLBACK PassiveDialogProc(HWND, UINT, WPARAM, LPARAM) {
  return FALSE;
}

TEST(Resources, TheThreeDialogsCanBeCreated) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&controls);
  ScrSetPrefs(ScrGetPrefs());  // the first public call registers the monitor classes
  const struct {
    int dialog, control;
    const char* caption;
    const char* className;
    const char* text;
  } cases[] = {
      {3600, 3638, "Only used to call main dialog - never displayed", "Static", "ctrlchild"},
      {3601, 3640, "General", "MorvaneMonitorClass", "Control corners"},
      {3601, 3635, "General", "msctls_updown32", ""},
      {3601, 3643, "General", "Button", "Allow active-configuration"},
      {3602, 10, "About Morvane", "Button", "Morvane"},
      {3602, IDOK, "About Morvane", "Button", "OK"},
  };
  for (const auto& c : cases) {
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(c.dialog), nullptr,
                                     PassiveDialogProc, 0);
    ASSERT_NE(nullptr, dialog) << c.dialog;
    char caption[100] = {}, className[100] = {}, text[200] = {};
    GetWindowTextA(dialog, caption, sizeof caption);
    GetClassNameA(GetDlgItem(dialog, c.control), className, sizeof className);
    GetDlgItemTextA(dialog, c.control, text, sizeof text);
    EXPECT_STREQ(c.caption, caption);
    EXPECT_EQ(0, lstrcmpiA(c.className, className)) << c.dialog << " " << c.control;
    if (c.control != 3635) {  // an up-down control shows no text
      EXPECT_STREQ(c.text, text);
    }
    if (c.dialog == 3602) {  // the About box shows icon 199 of the same module
      HWND icon = FindWindowExA(dialog, nullptr, "Static", nullptr);
      EXPECT_NE(0, SendMessageA(icon, STM_GETICON, 0, 0));
    }
    DestroyWindow(dialog);
  }
}

// Draws the monitor picture as the monitor control does (AND with the mask half, then XOR with
// the picture half) over a plain background and returns the pixel at x, y.
COLORREF ComposedPixel(COLORREF background, int x, int y) {
  HDC screen = GetDC(nullptr);
  HDC canvas = CreateCompatibleDC(screen);
  HDC source = CreateCompatibleDC(screen);
  HBITMAP target = CreateCompatibleBitmap(screen, 184, 170);
  HGDIOBJ oldTarget = SelectObject(canvas, target);
  HBRUSH brush = CreateSolidBrush(background);
  RECT all = {0, 0, 184, 170};
  FillRect(canvas, &all, brush);
  HGDIOBJ oldSource = SelectObject(source, Corners().monitorBitmap);
  BitBlt(canvas, 0, 0, 184, 170, source, 184, 0, SRCAND);
  BitBlt(canvas, 0, 0, 184, 170, source, 0, 0, SRCINVERT);
  COLORREF pixel = GetPixel(canvas, x, y);
  SelectObject(source, oldSource);
  SelectObject(canvas, oldTarget);
  DeleteObject(brush);
  DeleteObject(target);
  DeleteDC(source);
  DeleteDC(canvas);
  ReleaseDC(nullptr, screen);
  return pixel;
}

TEST(Resources, MaskLetsTheBackgroundShowAroundTheMonitor) {
  ScrSetPrefs(ScrGetPrefs());
  const COLORREF background = RGB(200, 100, 48);
  const struct {
    int x, y;
    COLORREF colour;
  } cases[] = {{0, 0, background},           {183, 169, background},
               {20, 160, background},        {92, 73, RGB(0, 128, 128)},      // screen
               {10, 90, RGB(192, 192, 192)}, {92, 160, RGB(192, 192, 192)}};  // cabinet, foot
  for (const auto& c : cases) {
    EXPECT_EQ(c.colour, ComposedPixel(background, c.x, c.y)) << c.x << "," << c.y;
  }
}

TEST(Resources, IconIsPresentSoCheckResourcesStaysQuiet) {
  StartAnsweringBoxes();
  CheckResources();
  EXPECT_TRUE(StopAnsweringBoxes().empty());
}

}  // namespace
