#include "glimmer_saver.h"

#include <commctrl.h>

#include "morvane.h"
#include "saver_window.h"
#include "settings_page.h"
#include "settings_store.h"

namespace {

// A user who opts in on the General page may open the settings over the running saver.
void AllowActiveConfiguration() {
  ScrPrefs* prefs = ScrGetPrefs();
  if (!prefs) return;
  prefs->allowActiveConfig = 1;
  ScrSetPrefs(prefs);
}

// The user's choice on the settings page; previews and the configuration sheet ignore it.
void ChooseMonitors() {
  const SaverSettings settings = ReadSaverSettings();
  ScrSetMonitorPolicy(settings.monitors == MonitorsPrimary ? SCRMONITORS_PRIMARY
                                                           : SCRMONITORS_EACH);
}

// The page's up-down control and trackbar.
void RegisterPageControls() {
  INITCOMMONCONTROLSEX controls = {};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_UPDOWN_CLASS | ICC_BAR_CLASSES;
  InitCommonControlsEx(&controls);
}

}  // namespace

int RunGlimmerSaver(HINSTANCE instance, WNDPROC windowProc) {
  SetPictureModule(instance);
  RegisterPageControls();
  AllowActiveConfiguration();
  ChooseMonitors();
  return ScrMain(instance, windowProc, GlimmerPageProc, nullptr, 0);
}
