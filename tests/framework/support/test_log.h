#ifndef MORVANE_TEST_LOG_H
#define MORVANE_TEST_LOG_H
/* What the test programs (savers, stand-ins, companion) report to the tests: lines appended to the
   file named by the environment variable MORVANE_TEST_LOG, which every one of them appends to. */
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Appends one line (wsprintf format, at most 1000 characters); nothing without MORVANE_TEST_LOG. */
void TestLog(const char* format, ...);

/* For a library's DllMain: logs "<tag> loaded module=<its path>" on attach, "<tag> unloaded" on
   detach, so that tests see which copy was loaded and that it was let go. */
void TestLogLoading(const char* tag, HINSTANCE instance, DWORD reason);

/* The number in an environment variable ("%i" forms), or fallback when it is missing. */
int TestNumber(const char* variable, int fallback);

/* Whether the comma-separated list in an environment variable holds word. */
int TestListHas(const char* variable, const char* word);

/* With MORVANE_TEST_CPU_MS set to N > 0: a thread of its own logs "cpu <us> at <us>" every N ms,
   the process's CPU time and the time since the call in microseconds, read inside the process
   (under Wine GetProcessTimes of another process reads 0). Once per process; nothing without the
   variable. */
void TestLogCpu(void);

#ifdef __cplusplus
}
#endif

#endif
