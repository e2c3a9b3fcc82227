// The entry point of morvane.dll; the library linked into an executable initialises itself on first
// use instead (EnsureLibrary).
#include "core/library.h"

using namespace morvane;

// NOTE: InitLibrary and CloseLibrary call into user32 and gdi32 under the loader lock. Both are
// imported by this DLL and so already loaded, and the installation check must be able to refuse
// the load, which only the attach result can do.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  libraryState.loadedAsLibrary = true;
  switch (reason) {
    case DLL_PROCESS_ATTACH: libraryState.module = instance; return InitLibrary();
    case DLL_PROCESS_DETACH: return CloseLibrary();
    default: return FALSE;
  }
}
