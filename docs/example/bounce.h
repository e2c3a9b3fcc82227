#ifndef BOUNCE_H
#define BOUNCE_H
/* Bounce, the example saver of docs/writing-a-saver.md: identifiers its program and its resource
   script share. */

/* The settings page: dialog 2003, which the framework puts on the sheet beside its General page. */
#define IDD_BOUNCE_PAGE    2003
#define IDC_BOUNCE_PREVIEW 101 /* monitor control with a live preview */
#define IDC_BOUNCE_COUNT   102 /* number of balls: edit control ... */
#define IDC_BOUNCE_SPIN    103 /* ... and its up-down control */
#define IDC_BOUNCE_SPEED   104 /* speed: trackbar */

/* The saver's name, which Windows shows in its list of screen savers. */
#define IDS_BOUNCE_NAME 1
/* The sheet's caption: string 3501 of the saver's own module wins over the framework's. */
#define IDS_BOUNCE_CAPTION 3501

/* What the settings may be. */
#define BOUNCE_MIN_BALLS 1
#define BOUNCE_MAX_BALLS 20
#define BOUNCE_MIN_SPEED 1
#define BOUNCE_MAX_SPEED 10

#endif
