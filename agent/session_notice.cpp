#include "session_notice.h"

#include "core/system_library.h"
#include "saver_start.h"
#include "trace.h"

namespace corners {

namespace {

// wtsapi32.h's NOTIFY_FOR_THIS_SESSION: the header is left out, so that nothing imports it.
enum : DWORD { NotifyForThisSession = 0 };

typedef BOOL(WINAPI* RegisterProc)(HWND, DWORD);
typedef BOOL(WINAPI* UnregisterProc)(HWND);

}  // namespace

bool WatchSession(HWND window) {
  RegisterProc watch =
      morvane::SystemFunction<RegisterProc>("wtsapi32.dll", "WTSRegisterSessionNotification");
  if (watch && watch(window, NotifyForThisSession)) return true;
  Trace("no session notices (error %lu): a lock cannot be confirmed", GetLastError());
  return false;
}

void StopWatchingSession(HWND window) {
  UnregisterProc stop =
      morvane::SystemFunction<UnregisterProc>("wtsapi32.dll", "WTSUnRegisterSessionNotification");
  if (stop) stop(window);
}

void OnSessionChange(WPARAM event) {
  if (event != WTS_SESSION_LOCK) return;
  Trace("session lock notice");
  SessionLockNoticed();
}

}  // namespace corners
