#ifndef MORVANE_H
#define MORVANE_H
/*
 * Morvane: turns a saver author's drawing code into a Windows screen saver.
 *
 * Usable from C and C++. Every operation has C linkage and the WINAPI calling convention;
 * morvane.dll exports each under its plain name, and the framework linked into an executable
 * exports the same names. None of them may be called from DllMain. The first call of any of them
 * but MonitorControlInfo initialises the framework.
 *
 * Each operation's comment ends with two fixed lines. "Errors:" says what it returns or does when
 * it cannot do its work. "Thread:" says which thread may call it. "The saver thread" is the one
 * that calls a saver-main entry point (or, before that, will call it): it owns the saver windows
 * and the configuration dialogs, and their procedures run on it. The framework's timer threads run
 * no saver code: they send SCRM_TIMER to the window, so a tick is handled on the saver thread too,
 * and any operation may be called from it. No operation may be called from a thread of the saver's
 * own making.
 */
#include <windows.h>
#include <prsht.h>
#include <custcntl.h>

/* Window messages between a saver window, its timer thread and the configuration dialog. */
/* clang-format off */
#define SCRM_VERIFYPW        (WM_APP + 0) /* ask the password before closing; 1 accepted, 0 refused */
#define SCRM_ACTIVECONFIG    (WM_APP + 1) /* open the configuration over the running saver */
#define SCRM_SETTINGSCHANGED (WM_APP + 2) /* wParam flags (low 12 bits 1: general); lParam ScrSettings* */
#define SCRSETTINGS_SAVER    0x002        /* wParam bit: the saver page's own settings, lParam NULL */
#define SCRM_TIMER           (WM_APP + 3) /* a tick: draw, return ms to the next tick, -1 to stop */
#define SCRM_DIALOGACTIVE    (WM_APP + 4) /* wParam 1: a framework dialog opens, 0: it closed */
#define SCRM_INTERNAL        (WM_APP + 9) /* the timer protocol; wParam one of SCRINTERNAL_ */
/* clang-format on */

/* An answer to SCRM_TIMER: the next tick at the next refresh of the monitor the window is on, at
   that monitor's own rate (60 Hz where the system does not say), aligned to its vertical blank
   where the system offers a wait for it. Better than a delay for animation: a delay of 16 ms draws
   62.5 frames a second on a 60 Hz display, some never seen, and wastes refreshes on faster ones. */
#define SCR_TICK_DISPLAY       (-100)

#define SCRINTERNAL_TICK       0
#define SCRINTERNAL_HADENOUGH  1
#define SCRINTERNAL_STARTTIMER 2

/* Requests sent to the host window of ScrMainHost; a non-zero answer means the host did it. */
#define SCRHOST_MONITORPREVIEW 0x8064
#define SCRHOST_SYSTEMPREVIEW  0x8065
#define SCRHOST_PREVIEW        0x8066
#define SCRHOST_SAVERWINDOW    0x8067
#define SCRHOST_CREATEWINDOW   0x8068
#define SCRHOST_CONFIGURE      0x8069
#define SCRHOST_ABOUT          0x806A
#define SCRHOST_CHANGEPASSWORD 0x806B

/* Styles of the monitor control, class "MorvaneMonitorClass": mode in bits 0-1, two bits per
   corner (top-left, top-right, bottom-right, bottom-left) in bits 4-11. */
#define MS_NOTHING      0x000
#define MS_PREVIEW      0x001
#define MS_CORNERS      0x002
#define MS_CTOPLEFTDEF  0x000
#define MS_CTOPLEFTNOW  0x010
#define MS_CTOPLEFTNEV  0x020
#define MS_CTOPRIGHTDEF 0x000
#define MS_CTOPRIGHTNOW 0x040
#define MS_CTOPRIGHTNEV 0x080
#define MS_CBOTRIGHTDEF 0x000
#define MS_CBOTRIGHTNOW 0x100
#define MS_CBOTRIGHTNEV 0x200
#define MS_CBOTLEFTDEF  0x000
#define MS_CBOTLEFTNOW  0x400
#define MS_CBOTLEFTNEV  0x800

/* The resource compiler reads only the constants above (dialog templates use the MS_ styles). */
#ifndef RC_INVOKED

#ifdef __cplusplus
extern "C" {
#endif

/* What a hot corner does: stored in the registry as "-", "Y" and "N". */
typedef enum CornerCode { CORNER_DEFAULT = 0, CORNER_NOW = 1, CORNER_NEVER = 2 } CornerCode;

/* The saver author's preferences (556 bytes). Fetch with ScrGetPrefs, change, hand back with
   ScrSetPrefs before calling a saver-main entry point. Flags are 0 or 1. */
typedef struct ScrPrefs {
  int size;                 /* 556, set by ScrGetPrefs */
  int allowActiveConfig;    /* offer active configuration (default 0) */
  int offerMuteSound;       /* offer the mute setting (default 1) */
  int debugTrace;           /* trace lines to the debugger, debug message boxes (default 0) */
  int debugMode;            /* windowed, non-topmost saver with a cursor (default 0) */
  int noAboutMenu;          /* no About item in the configuration sheet's menu (default 0) */
  int noPreviewNotify;      /* do not pass setting changes to previews (default 0) */
  int noTimers;             /* no timer threads (default 0) */
  char text1[256];          /* carried unchanged for the saver */
  char text2[256];          /* carried unchanged for the saver */
  int alwaysPassword;       /* the saver always requires a password (default 0) */
  int neverPassword;        /* the saver never requires a password (default 0) */
  int activeConfigPassword; /* ask the password before active configuration (default 1) */
} ScrPrefs;

/* The user's settings as a saver sees them (24 bytes, no gaps). */
/* clang-format off */
typedef struct ScrSettings {
  int size;                   /* 24; set by whoever builds the record */
  unsigned char corners[4];   /* CornerCode per corner: top-left, top-right, bottom-right, bottom-left */
  int muteSound;              /* 1: the saver should be silent */
  int mouseThreshold;         /* pixels of mouse movement that end the saver */
  int passwordDelay;          /* seconds after the start during which no password is asked */
  int activeConfig;           /* 1: the user allows active configuration */
} ScrSettings;
/* clang-format on */

/* The kind of a saver window, given in SaverCreateParams. */
typedef enum WindowMode {
  WINDOWMODE_FULLSCREEN = 0,     /* the full-screen saver window */
  WINDOWMODE_MONITORPREVIEW = 1, /* a preview inside a monitor control */
  WINDOWMODE_SYSTEMPREVIEW = 2   /* a preview inside the window named on the command line */
} WindowMode;

/* lpCreateParams of every saver window; read it in WM_CREATE before passing the message on. */
typedef struct SaverCreateParams {
  void* reserved; /* always NULL */
  int mode;       /* a WindowMode */
} SaverCreateParams;

/* A new copy of the current preferences, owned by the caller until it passes it to ScrSetPrefs.
   Errors: NULL when memory runs out; the preferences stay as they are.
   Thread: the saver thread, before a saver-main entry point. */
ScrPrefs* WINAPI ScrGetPrefs(void);

/* Installs the preferences in a record from ScrGetPrefs and releases the record; a record the
   framework did not hand out is read but never released.
   Errors: refused while a saver runs and for NULL (nothing changes, the record is kept);
   alwaysPassword and neverPassword both set are installed as they are. Each is traced and, with
   debugTrace, shown in a box.
   Thread: the saver thread, before a saver-main entry point. */
void WINAPI ScrSetPrefs(ScrPrefs* prefs);

/* Fills the record (all but its size) with the user's settings as the registry holds them now.
   Errors: a NULL record is ignored; a setting missing from the registry, or unreadable, gives its
   default.
   Thread: the saver thread. */
void WINAPI ScrGetSettings(ScrSettings* settings);

/* ---- Running a saver ---- */

/* The saver-main entry points: call one from the program's entry routine, on the thread that is
   to own the saver windows. It runs the mode the command line asks for and returns its result as
   the program's exit code: "/s" (full screen) and "/p N" or "/l N" (preview inside window N, or in
   the companion program for "/p tavisk") 2 once closed; "/a [N]" the password change's result
   (1 once the system's dialog ran, 2 when it could not be called); "/c" or nothing the
   configuration's (1 OK, 0 Cancel). An unknown switch, a preview window that does not exist, a
   saver window that cannot be created, or a call while a run is in progress: 2. */

typedef void(WINAPI* ScrInitProc)(HINSTANCE instance);

/* Windows of class "KoScreenSaverClass" with windowProc, which passes what it does not handle to
   DefSaverProc (NULL: no window can be created). pageDialogProc (may be NULL) runs settings page
   2003 of the saver's module, whose dialog 2004 replaces the About box. initProc (may be NULL) is
   called with instance before anything is registered; reserved is never read.
   Errors: 2 as above (windowProc NULL, or its WM_CREATE answering -1, is a window that cannot be
   created; a run in progress goes on untouched); -1 from "/c" when the sheet cannot be shown.
   Thread: the one that is to own the saver windows, which makes it the saver thread. */
int WINAPI ScrMain(HINSTANCE instance, WNDPROC windowProc, DLGPROC pageDialogProc,
                   ScrInitProc initProc, DWORD reserved);

/* ScrMainHooks' hooks, each may be NULL. The creation hook creates the window from the WindowMode
   and the filled CREATESTRUCTA (pass lpCreateParams on) and returns it; NULL or anything that is
   not a window: none. The others answer 9 for the framework's default (notify 1: the sheet is the
   active configuration of a running saver). */
typedef HWND(WINAPI* ScrCreateHook)(int mode, CREATESTRUCTA* create);
typedef int(WINAPI* ScrSheetHook)(HWND hiddenDialog, LPPROPSHEETHEADERA header, int notify);
typedef int(WINAPI* ScrAboutHook)(HWND parent);
typedef int(WINAPI* ScrPasswordHook)(HWND parent);

/* Windows of class "DummyScreenSaverClass" with DefSaverProc as their procedure.
   Errors: as ScrMain; a hook's own answer (anything but 9) is the mode's result.
   Thread: the one that is to own the saver windows, which makes it the saver thread. */
int WINAPI ScrMainHooks(HINSTANCE instance, ScrCreateHook createHook, ScrSheetHook sheetHook,
                        ScrAboutHook aboutHook, ScrPasswordHook passwordHook);

/* As ScrMainHooks (grey background), but every request goes first to hostWindow as a SCRHOST_
   message; a non-zero answer means the host did it (a creation request: the window, as above).
   Errors: as ScrMain; a dialog or password request the host answered itself gives 1.
   Thread: the one that is to own the saver windows, which makes it the saver thread. */
int WINAPI ScrMainHost(HINSTANCE instance, HWND hostWindow);

/* For a host's procedure: 0 for SCRHOST_MONITORPREVIEW to 0x806D (the framework then does its
   default), DefWindowProcA for other messages.
   Errors: none of its own; what DefWindowProcA answers.
   Thread: the host window's, as the default of its window procedure. */
LRESULT WINAPI DefHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

/* The saver windows' default procedure. A window without a parent is the full-screen saver:
   input closes it (after the password when one is due) unless a framework dialog is open;
   previews are passive. SCRM_TIMER left to it answers -1 (no more ticks); what it does not handle
   goes to DefWindowProcA.
   Errors: none of its own; a failed set-up (no memory for the timer slot) leaves the window
   without ticks, traced.
   Thread: the saver window's own (the saver thread), as the end of its window procedure. */
LRESULT WINAPI DefSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

/* ---- Several monitors ---- */

/* How a full-screen run covers a desktop of several monitors. Previews always have one window. */
typedef enum ScrMonitorPolicy {
  SCRMONITORS_PRIMARY = 0, /* one saver window on the primary monitor; the framework covers every
                              other monitor with a black window that ends the saver on input as
                              the saver window does (the default) */
  SCRMONITORS_EACH = 1,    /* one saver window per monitor, each with its own WM_CREATE and timer */
  SCRMONITORS_SPAN = 2     /* one saver window over the whole virtual screen (origin may be
                              negative) */
} ScrMonitorPolicy;

/* Chooses how the next full-screen runs cover the monitors; kept until changed. With debugMode a
   run has its one window whatever the policy. When monitors are added, removed or moved while the
   saver runs, the framework destroys the windows of monitors that went, makes windows for new ones
   and moves the others.
   Errors: 0 for a value that is no ScrMonitorPolicy and while a saver runs (nothing changes); 1
   once chosen.
   Thread: the saver thread, before a saver-main entry point. */
BOOL WINAPI ScrSetMonitorPolicy(int policy);

/* The monitor a full-screen saver window of the running saver was made for: its rectangle in
   screen coordinates (left of or above the primary monitor they are negative) into *area when area
   is not NULL, and its number in the run, returned: 0 for the window on the primary monitor (and
   the one spanning window), 1 upward for the others in the order the system lists the monitors.
   Valid from the window's WM_CREATE on; numbers may change when the monitors change.
   Errors: -1 for NULL and for a window that is no full-screen window of the running saver (previews
   included); *area is then left as it was.
   Thread: the saver thread. */
int WINAPI ScrGetWindowMonitor(HWND window, RECT* area);

/* ---- Timers ---- */

/* Starts the window's timer thread, which ticks the window with SCRM_TIMER: the first tick comes
   at once, each next one when the saver's answer to the last says. No tick comes while nobody can
   see the window: in a full-screen run while the display is off or in low power and while the
   session is locked; for a preview while it, its host or its top-level window is hidden or
   minimised. Ticks resume at once when it can be seen again. On battery, full-screen ticks come no
   closer than ScrSetBatteryPeriod says.
   Errors: nothing is returned; it does nothing (traced) with noTimers, when the window already has
   a timer, when it has no timer slot (it is no saver window, or its procedure does not end in
   DefSaverProc), or when memory, an event or the thread cannot be had or the thread does not get
   ready in time.
   Thread: the saver thread (the window's own), for instance while handling a message of the
   window; never a timer thread. */
void WINAPI ScrStartTimer(HWND window);

/* Asks the window's timer to end and detaches it at once; a new ScrStartTimer may follow. Does not
   wait: the thread ends when its current wait is over. Called while handling SCRM_TIMER, no tick
   follows the one being answered.
   Errors: nothing is returned; nothing to stop, a NULL window or noTimers: traced, nothing else.
   Thread: the saver thread (the window's own); never a timer thread. */
void WINAPI ScrStopTimer(HWND window);

/* What a saver window's ticks were like, from its first tick to now. */
typedef struct ScrFrameFigures {
  int size;                /* sizeof(ScrFrameFigures), set by the caller */
  unsigned int ticks;      /* SCRM_TIMER ticks the window handled */
  double meanIntervalMs;   /* mean time between the starts of consecutive ticks (0 before two) */
  double p99IntervalMs;    /* 99% of those intervals are at most this long (0.25 ms steps) */
  double busyShare;        /* share of the time since the first tick spent handling SCRM_TIMER */
  double targetIntervalMs; /* the interval the last answer asked for: its delay, or the refresh
                              period for SCR_TICK_DISPLAY; 0 for "at once" and without a timer */
} ScrFrameFigures;

/* Fills figures with the frame figures of a saver window of this process (full screen or preview).
   With debugTrace, a full-screen run also traces them per window at its end.
   A record of the size before targetIntervalMs (an older header's) is filled up to its size.
   Errors: 0 for NULL figures, a size other than these two, and a window that is no saver window
   of this process (figures are then left as they were); else 1.
   Thread: the saver thread. */
BOOL WINAPI ScrGetFrameFigures(HWND window, ScrFrameFigures* figures);

/* On battery, ticks of a full-screen run come no closer than minimumMs (33 at first, about 30 per
   second), and the timer threads run a priority level lower than on mains power. 0 lets the saver
   tick as fast as it asks on battery too.
   Errors: 0 for a negative value or one above 1000, and while a saver runs (nothing changes); 1
   once set.
   Thread: the saver thread, before a saver-main entry point. */
BOOL WINAPI ScrSetBatteryPeriod(int minimumMs);

/* ---- Configuration ---- */

/* The framework's version ("1.5s" when linked into an executable, morvane.dll's "FileVersion"
   otherwise) into buffer, cut to capacity characters including the terminator. Returns the length
   copied; with a NULL buffer the length the text needs (4 for "1.5s", else the length plus 1).
   Errors: 0 when the version cannot be read (morvane.dll's version resource missing or unreadable,
   no memory) and for a buffer with a capacity of 0 or less.
   Thread: the saver thread. */
int WINAPI GetLibraryVersion(char* buffer, int capacity);

/* Context help for a control of the saver's own configuration page, from the saver's help file
   (string 3560 of its module, else "morvane.hlp", else "Plus!.HLP"). command is a help command
   such as HELP_WM_HELP or HELP_CONTEXTMENU. Returns WinHelp's result.
   Errors: 0 when no help file is named, and when WinHelp fails.
   Thread: the saver thread, from the page's procedure (WM_HELP, WM_CONTEXTMENU). */
BOOL WINAPI ScrHelp(HWND control, UINT command, DWORD helpId);

/* The sheet handed to a ScrMainHooks sheet hook holds its pages in records of
   PROPSHEETPAGEA_V1_SIZE bytes each; page 0 is the General page and the second slot is free. */

/* ---- The monitor control ---- */

/* Describes "MorvaneMonitorClass" and its MS_ styles to a dialog editor; info may be NULL (nothing
   written). Returns 1, the number of controls. Default size 0 before the framework initialised;
   it does not initialise the framework itself.
   Errors: none.
   Thread: any (a dialog editor calls it from its own). */
UINT WINAPI MonitorControlInfo(LPCCINFOA info);

/* A live preview of the running saver (its new window) inside window: in the inner window of an
   MS_PREVIEW monitor control, or in window itself when it is no monitor control. NULL for NULL or
   when the window cannot be made; NULL, traced, outside a saver run or for a monitor control in
   another mode (also shown with debugTrace).
   Errors: NULL in each of those cases; nothing else changes.
   Thread: the saver thread, from a configuration page (its WM_INITDIALOG). */
HWND WINAPI CreatePreview(HWND window);

#ifdef __cplusplus
}
#endif

#endif /* RC_INVOKED */
#endif /* MORVANE_H */
