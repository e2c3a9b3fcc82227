// glimmerbox.scr's own code with a window procedure in front that watches it, for the end-to-end
// tests: every line goes to the file named by GLIMMER_PROBE_LOG.
//   created window=W parent=P mode=M monitor=N w=.. h=.. lights=N glow=G light0=X,Z
//                                   monitor: ScrGetWindowMonitor of the new window
//   tick window=W steps=S period=P qpc=Q   after each tick of a saver window: its answer (ms to
//                                   the next tick) and QueryPerformanceCounter at the tick's start
//   cross window=W other=O          a tick of W changed another window's scene or step count
//   preview window=W host=H         (pair) the preview made beside the full-screen saver
//   pixels window=W lit=F glow=F    (pair) the preview's own frame, read back before it is shown
//   lightcount preview=N fullscreen=M   (pair) after the preview's light count was changed
//   settings window=W flags=F lights=N glow=G   after a window handled SCRM_SETTINGSCHANGED
//   run result=R threads before=A after=B
//   dpiaware=D running=R manifest=M dpiAware=S dpiAwareness=T   at the start, before the saver's
//                                   run: IsProcessDPIAware; the DPI awareness the process runs
//                                   with (permonitor, system, unaware, or "unknown" where the
//                                   system has no awareness contexts); whether glimmerbox.scr
//                                   beside this program carries this one's manifest; and the
//                                   dpiAware (2005) and dpiAwareness (2016) settings of the
//                                   process's activation context ("none" when absent). The last
//                                   runs to the end of the line: it holds spaces.
// GLIMMER_PROBE=pair: under "/s", a preview made with CreatePreview on a plain window of this
// process runs beside the full-screen window, as active configuration makes them.
#include <windows.h>
#include <tlhelp32.h>
#include <GL/gl.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

#include "glimmer_saver.h"
#include "morvane.h"
#include "saver_window.h"
#include "settings_store.h"

namespace {

char logPath[MAX_PATH];
bool pairScenario;

void Log(const char* format, ...) {
  if (!logPath[0]) return;
  char line[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  if (FILE* f = std::fopen(logPath, "a")) {
    std::fprintf(f, "%s\n", line);
    std::fclose(f);
  }
}

unsigned Handle(HWND window) {
  return static_cast<unsigned>(reinterpret_cast<UINT_PTR>(window));
}

struct Watched {
  HWND window;
  unsigned long ticks;
};

std::vector<Watched> watched;
HWND fullScreen;
HWND preview;
HWND previewHost;

Watched* Find(HWND window) {
  for (Watched& w : watched) {
    if (w.window == window) return &w;
  }
  return nullptr;
}

struct Snapshot {
  HWND window;
  unsigned long steps;
  Light light0;
};

std::vector<Snapshot> SnapshotOthers(HWND except) {
  std::vector<Snapshot> snapshots;
  for (const Watched& w : watched) {
    const LightScene* scene = SaverWindowScene(w.window);
    if (w.window != except && scene)
      snapshots.push_back({w.window, SaverWindowSteps(w.window), scene->lights[0]});
  }
  return snapshots;
}

void ReportCrossings(HWND ticked, const std::vector<Snapshot>& before) {
  for (const Snapshot& s : before) {
    const LightScene* scene = SaverWindowScene(s.window);
    if (!scene) continue;
    if (SaverWindowSteps(s.window) != s.steps ||
        std::memcmp(&scene->lights[0], &s.light0, sizeof s.light0) != 0)
      Log("cross window=0x%x other=0x%x", Handle(ticked), Handle(s.window));
  }
}

int ThreadsOfThisProcess() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  THREADENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  int count = 0;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
  }
  CloseHandle(snapshot);
  return count;
}

// The preview's host: a plain window of this process above the full-screen saver, owned by it
// and never activated (the full-screen saver closes when it loses the activation).
HWND MakePreviewHost(HWND owner) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  windowClass.lpszClassName = "GlimmerProbeHost";
  RegisterClassA(&windowClass);
  HWND host =
      CreateWindowExA(WS_EX_TOPMOST | WS_EX_NOACTIVATE, "GlimmerProbeHost", "Probe host", WS_POPUP,
                      640, 440, 320, 240, owner, nullptr, GetModuleHandleA(nullptr), nullptr);
  ShowWindow(host, SW_SHOWNOACTIVATE);
  return host;
}

void ReadBackPreviewFrame(HWND window) {
  RECT client = {};
  GetClientRect(window, &client);
  const int w = client.right, h = client.bottom;
  if (!DrawSaverFrame(window) || w <= 0 || h <= 0) return;
  std::vector<unsigned char> pixels(static_cast<size_t>(w) * h * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  ShowSaverFrame(window);
  int lit = 0, glow = 0;
  for (size_t i = 0; i < pixels.size(); i += 3) {
    const int r = pixels[i], g = pixels[i + 1], b = pixels[i + 2];
    lit += (r > 40 || g > 40 || b > 40);
    // Orange, red and yellow light: much more red than blue.
    glow += (r > 150 && r - b > 100);
  }
  Log("pixels window=0x%x w=%d h=%d lit=%.3f glow=%.4f", Handle(window), w, h,
      static_cast<double>(lit) / (w * h), static_cast<double>(glow) / (w * h));
}

void ChangePreviewLightCount() {
  SaverSettings settings = ReadSaverSettings();
  settings.lights = 3;
  WriteSaverSettings(settings);
  SendMessageA(preview, GLIMMER_RELOADSETTINGS, 0, 0);
}

// The pair scenario's steps, by the ticks each window has had.
void RunPairScenario(HWND window, unsigned long ticks) {
  if (window == fullScreen && ticks == 5 && !preview) {
    previewHost = MakePreviewHost(fullScreen);
    preview = CreatePreview(previewHost);
    Log("preview window=0x%x host=0x%x", Handle(preview), Handle(previewHost));
  }
  if (window == preview && ticks == 20) ChangePreviewLightCount();
  if (window == preview && ticks == 30) {
    Log("lightcount preview=%g fullscreen=%g", SaverWindowScene(preview)->lightCount,
        SaverWindowScene(fullScreen)->lightCount);
  }
}

LRESULT WatchCreate(HWND window, LPARAM lParam) {
  const CREATESTRUCTA* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
  const SaverCreateParams* params = static_cast<const SaverCreateParams*>(create->lpCreateParams);
  const int mode = params ? params->mode : -1;
  const LRESULT result = GlimmerSaverProc(window, WM_CREATE, 0, lParam);
  watched.push_back({window, 0});
  if (mode == WINDOWMODE_FULLSCREEN) fullScreen = window;
  const LightScene* scene = SaverWindowScene(window);
  Log("created window=0x%x parent=0x%x mode=%d monitor=%d w=%d h=%d lights=%g glow=%g "
      "light0=%g,%g",
      Handle(window), Handle(create->hwndParent), mode, ScrGetWindowMonitor(window, nullptr),
      create->cx, create->cy, scene ? scene->lightCount : -1.0, scene ? scene->glowScale : -1.0,
      scene ? scene->lights[0].x : 0.0, scene ? scene->lights[0].z : 0.0);
  return result;
}

LRESULT WatchTick(HWND window, WPARAM wParam, LPARAM lParam) {
  LARGE_INTEGER start = {};
  QueryPerformanceCounter(&start);
  Watched* w = Find(window);
  const std::vector<Snapshot> before = SnapshotOthers(window);
  LRESULT result = DefaultTickAnswer;
  const bool readBack = pairScenario && window == preview && w && w->ticks == 9;
  if (readBack) ReadBackPreviewFrame(window);
  else result = GlimmerSaverProc(window, SCRM_TIMER, wParam, lParam);
  ReportCrossings(window, before);
  if (w) {
    ++w->ticks;
    Log("tick window=0x%x steps=%lu period=%ld qpc=%lld", Handle(window), SaverWindowSteps(window),
        static_cast<long>(result), static_cast<long long>(start.QuadPart));
    if (pairScenario) RunPairScenario(window, w->ticks);
  }
  return result;
}

LRESULT WatchSettingsChanged(HWND window, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = GlimmerSaverProc(window, SCRM_SETTINGSCHANGED, wParam, lParam);
  const LightScene* scene = SaverWindowScene(window);
  Log("settings window=0x%x flags=0x%x lights=%g glow=%g", Handle(window),
      static_cast<unsigned>(wParam), scene ? scene->lightCount : -1.0,
      scene ? scene->glowScale : -1.0);
  return result;
}

LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: return WatchCreate(window, lParam);
    case SCRM_TIMER: return WatchTick(window, wParam, lParam);
    case SCRM_SETTINGSCHANGED: return WatchSettingsChanged(window, wParam, lParam);
  }
  return GlimmerSaverProc(window, message, wParam, lParam);
}

// Looked up at run time: Windows before Vista and some Wine versions lack it (-1 then).
int ProcessDpiAware() {
  using IsDpiAwareFn = BOOL(WINAPI*)();
  HMODULE user32 = GetModuleHandleA("user32.dll");
  FARPROC found = user32 ? GetProcAddress(user32, "IsProcessDPIAware") : nullptr;
  if (!found) return -1;
  return reinterpret_cast<IsDpiAwareFn>(reinterpret_cast<void (*)()>(found))() ? 1 : 0;
}

// The process's own activation context answers what its manifest declares.
void DeclaredSetting(const WCHAR* schema, const WCHAR* name, char* out, size_t capacity) {
  using QuerySettingsFn =
      BOOL(WINAPI*)(DWORD, HANDLE, const WCHAR*, const WCHAR*, WCHAR*, SIZE_T, SIZE_T*);
  std::snprintf(out, capacity, "none");
  HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
  FARPROC found = kernel32 ? GetProcAddress(kernel32, "QueryActCtxSettingsW") : nullptr;
  if (!found) return;
  WCHAR value[64] = {};
  SIZE_T written = 0;
  if (!reinterpret_cast<QuerySettingsFn>(reinterpret_cast<void (*)()>(found))(
          0, nullptr, schema, name, value, sizeof value / sizeof value[0] - 1, &written))
    return;
  WideCharToMultiByte(CP_ACP, 0, value, -1, out, static_cast<int>(capacity), nullptr, nullptr);
}

// The awareness the process runs with: unaware, system or permonitor (the two per-monitor
// versions are one awareness). Looked up at run time: systems before Windows 10 1607 have no
// awareness contexts.
void RunningDpiAwareness(char* out, size_t capacity) {
  using GetContextFn = HANDLE(WINAPI*)();
  using AwarenessOfFn = int(WINAPI*)(HANDLE);
  std::snprintf(out, capacity, "unknown");
  HMODULE user32 = GetModuleHandleA("user32.dll");
  if (!user32) return;
  FARPROC getContext = GetProcAddress(user32, "GetThreadDpiAwarenessContext");
  FARPROC awarenessOf = GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext");
  if (!getContext || !awarenessOf) return;
  const HANDLE context = reinterpret_cast<GetContextFn>(reinterpret_cast<void (*)()>(getContext))();
  const int awareness =
      reinterpret_cast<AwarenessOfFn>(reinterpret_cast<void (*)()>(awarenessOf))(context);
  const char* names[] = {"unaware", "system", "permonitor"};
  if (awareness >= 0 && awareness < 3) std::snprintf(out, capacity, "%s", names[awareness]);
  else std::snprintf(out, capacity, "awareness%d", awareness);
}

struct Bytes {
  const void* data;
  DWORD size;
};

Bytes ManifestOf(HMODULE module) {
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  return {loaded ? LockResource(loaded) : nullptr, found ? SizeofResource(module, found) : 0};
}

// 1 when glimmerbox.scr in this program's folder carries byte for byte this program's manifest.
int SaverHasThisManifest(HINSTANCE instance) {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(instance, path, sizeof path);
  char* slash = std::strrchr(path, '\\');
  if (length == 0 || length >= sizeof path || !slash || slash - path + 16 >= MAX_PATH) return 0;
  std::strcpy(slash + 1, "glimmerbox.scr");
  HMODULE saver = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!saver) return 0;
  const Bytes mine = ManifestOf(instance), theirs = ManifestOf(saver);
  const int same = mine.data && theirs.data && mine.size == theirs.size &&
                   std::memcmp(mine.data, theirs.data, mine.size) == 0;
  FreeLibrary(saver);
  return same;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  GetEnvironmentVariableA("GLIMMER_PROBE_LOG", logPath, sizeof logPath);
  char scenario[32] = "";
  GetEnvironmentVariableA("GLIMMER_PROBE", scenario, sizeof scenario);
  pairScenario = std::strcmp(scenario, "pair") == 0;
  char running[32], dpiAware[64], dpiAwareness[64];
  RunningDpiAwareness(running, sizeof running);
  DeclaredSetting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware", dpiAware,
                  sizeof dpiAware);
  DeclaredSetting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness",
                  dpiAwareness, sizeof dpiAwareness);
  Log("dpiaware=%d running=%s manifest=%d dpiAware=%s dpiAwareness=%s", ProcessDpiAware(), running,
      SaverHasThisManifest(instance), dpiAware, dpiAwareness);
  const int threadsBefore = ThreadsOfThisProcess();
  const int result = RunGlimmerSaver(instance, ProbeProc);
  Log("run result=%d threads before=%d after=%d", result, threadsBefore, ThreadsOfThisProcess());
  return result;
}
