#ifndef MORVANE_SAVER_SUPPORT_H
#define MORVANE_SAVER_SUPPORT_H
/* What the test savers share: they take their preferences and user settings from the environment,
   paint a new colour on every tick and log what they see (test_log.h). Environment:
     MORVANE_TEST_PREFS      comma-separated: allowActiveConfig, debugMode, debugTrace, noTimers,
                             alwaysPassword, neverPassword switch on; noActiveConfigPassword off
     MORVANE_TEST_DELAY, MORVANE_TEST_THRESHOLD, MORVANE_TEST_ACTIVECONFIG, MORVANE_TEST_USEPASSWORD
                             the user's password delay, mouse threshold, active configuration and
                             "ScreenSaveUsePassword", written before the run; a missing one is
                             removed from the registry, so that its default applies
     MORVANE_TEST_PERIOD     the answer to SCRM_TIMER (default 50)
     MORVANE_TEST_FIRST_TICK comma-separated checks made during the first tick: nested (a second
                             saver-main call), setprefs (ScrSetPrefs during the run)
     MORVANE_TEST_RUNS       how many runs the program makes one after the other (default 1)
     MORVANE_TEST_OPTIONS    comma-separated; freshsettings: the user's screen-saver settings
                             removed before the ones above are written, so that defaults apply */
#include "morvane.h"
#include "test_log.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Preferences, user settings, trace capture (with debugTrace every framework trace line is logged
   as "trace TEXT") and a visible arrow cursor, so that hiding it shows. */
void PrepareTestSaver(void);

/* Logs "created mode=M parent=P x=.. y=.. w=.. h=.. style=.. exstyle=.. class=.. cursor=X,Y" for a
   window in its WM_CREATE, before DefSaverProc takes the creation record (and the cursor origin).
 */
void LogCreation(HWND window, const CREATESTRUCTA* create);

/* Logs the input and framework messages a saver window receives. */
void LogSaverMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

/* The tick: paints the next colour, logs "tick N", the cursor's visibility when it changes and, on
   the first tick, the checks of MORVANE_TEST_FIRST_TICK (runAgain makes the nested call); returns
   the period. */
LRESULT TickTestSaver(HWND window, int (*runAgain)(void));

/* Colour i of the palette the ticks cycle through. */
COLORREF TickColour(int tick);

#ifdef __cplusplus
}
#endif

#endif
