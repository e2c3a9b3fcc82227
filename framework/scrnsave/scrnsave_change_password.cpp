// ScreenSaverChangePassword for a saver that has none of its own: "/a" is the framework's password
// change. A member of its own in the library's archive, so that the linker takes it only when the
// saver does not define the function.
#include "scrnsave/scrnsave_run.h"

extern "C" void WINAPI ScreenSaverChangePassword(HWND parent) {
  morvane::DefaultChangePassword(parent);
}
