#ifndef MORVANE_H
#define MORVANE_H
/*
 * Morvane: turns a saver author's drawing code into a Windows screen saver.
 *
 * Usable from C and C++. Every operation has C linkage and the WINAPI calling convention;
 * morvane.dll exports each under its plain name, and the framework linked into an executable
 * exports the same names. Unless an operation says otherwise, call it from the thread that runs
 * the saver (the one that calls a saver-main entry point); none of them may be called from
 * DllMain. The first call of any of them initialises the framework.
 */
#include <windows.h>

/* Window messages between a saver window, its timer thread and the configuration dialog. */
#define SCRM_VERIFYPW        (WM_APP + 0) /* ask the password before closing; 1 accepted, 0 refused */
#define SCRM_ACTIVECONFIG    (WM_APP + 1) /* open the configuration over the running saver */
#define SCRM_SETTINGSCHANGED (WM_APP + 2) /* wParam flags (low 12 bits 1: general); lParam ScrSettings* */
#define SCRM_TIMER           (WM_APP + 3) /* a tick: draw, return ms to the next tick, -1 to stop */
#define SCRM_DIALOGACTIVE    (WM_APP + 4) /* wParam 1: a framework dialog opens, 0: it closed */
#define SCRM_INTERNAL        (WM_APP + 9) /* the timer protocol; wParam one of SCRINTERNAL_ */

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
typedef struct ScrSettings {
  int size;                   /* 24; set by whoever builds the record */
  unsigned char corners[4];   /* CornerCode per corner: top-left, top-right, bottom-right, bottom-left */
  int muteSound;              /* 1: the saver should be silent */
  int mouseThreshold;         /* pixels of mouse movement that end the saver */
  int passwordDelay;          /* seconds after the start during which no password is asked */
  int activeConfig;           /* 1: the user allows active configuration */
} ScrSettings;

/* The kind of a saver window, given in SaverCreateParams. */
typedef enum WindowMode {
  WINDOWMODE_FULLSCREEN = 0,    /* the full-screen saver window */
  WINDOWMODE_MONITORPREVIEW = 1, /* a preview inside a monitor control */
  WINDOWMODE_SYSTEMPREVIEW = 2  /* a preview inside the window named on the command line */
} WindowMode;

/* lpCreateParams of every saver window; read it in WM_CREATE before passing the message on. */
typedef struct SaverCreateParams {
  void* reserved; /* always NULL */
  int mode;       /* a WindowMode */
} SaverCreateParams;

/* A new copy of the current preferences, owned by the caller until it passes it to ScrSetPrefs.
   NULL when memory runs out. Saver thread, before a saver-main entry point. */
ScrPrefs* WINAPI ScrGetPrefs(void);

/* Installs the preferences in a record from ScrGetPrefs and releases the record. Refused (nothing
   changes, the record is kept) while a saver runs or for NULL; a record the framework did not hand
   out is read but never released. Errors are traced and, with debugTrace, shown in a box.
   Saver thread, before a saver-main entry point. */
void WINAPI ScrSetPrefs(ScrPrefs* prefs);

/* Fills the record (all but its size) with the user's settings as the registry holds them now.
   A NULL record is ignored; settings missing from the registry give their defaults. Saver thread. */
void WINAPI ScrGetSettings(ScrSettings* settings);

#ifdef __cplusplus
}
#endif

#endif /* RC_INVOKED */
#endif /* MORVANE_H */
