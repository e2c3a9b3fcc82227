#include "sheet_support.h"

#include <commctrl.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "config/config_dialog.h"
#include "core/library.h"
#include "settings/prefs.h"
#include "run/saver_run.h"

using namespace morvane;

std::vector<Delivery> deliveries;
HWND topPreview;
HWND nestedPreview;
int testPageInits;

namespace {

const char ownerClass[] = "SheetTestOwner";
const char previewClass[] = "SheetTestPreview";
// Any window of this class makes the notice walk descend into it a second time.
const char nestingClass[] = "Dialog";

enum { MonitorId = 101, NestingId = 103, NestedMonitorId = 104, WaitMs = 10000 };

LRESULT RecordNotice(HWND window, WPARAM wParam, LPARAM lParam) {
  // The summary lives only as long as the send.
  ScrSettings settings = {};
  if (lParam) settings = *reinterpret_cast<const ScrSettings*>(lParam);
  deliveries.push_back(Delivery{window, wParam, lParam, settings});
  return 1;
}

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case SCRM_SETTINGSCHANGED: return RecordNotice(window, wParam, lParam);
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}

void RegisterTestClasses() {
  for (const char* name : {ownerClass, previewClass, nestingClass}) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = name == nestingClass ? DefWindowProcA : RecordingProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    windowClass.lpszClassName = name;
    RegisterClassExA(&windowClass);
  }
}

HWND PreviewStandIn(HWND monitorControl) {
  HWND inner = GetWindow(monitorControl, GW_CHILD);
  if (!inner) return nullptr;
  return CreateWindowExA(0, previewClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, inner, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

void BuildTestPage(HWND page) {
  ++testPageInits;
  topPreview = PreviewStandIn(GetDlgItem(page, MonitorId));
  HINSTANCE self = GetModuleHandleA(nullptr);
  HWND nesting = CreateWindowExA(0, nestingClass, "", WS_CHILD | WS_VISIBLE, 200, 10, 160, 140,
                                 page, reinterpret_cast<HMENU>(NestingId), self, nullptr);
  HWND nestedMonitor =
      CreateWindowExA(0, "MorvaneMonitorClass", "", WS_CHILD | WS_VISIBLE | MS_PREVIEW, 0, 0, 60,
                      60, nesting, reinterpret_cast<HMENU>(NestedMonitorId), self, nullptr);
  nestedPreview = PreviewStandIn(nestedMonitor);
}

// What a configuration test changes: the library's and the run's state and the preferences.
struct SavedState {
  LibraryState library;
  SaverRun run;
  ScrPrefs prefs;
} saved;

bool IsDialogClass(HWND window) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  return std::strcmp(name, "#32770") == 0;
}

bool IsSheet(HWND window) {
  return IsWindowVisible(window) && IsDialogClass(window) &&
         SendMessageA(window, PSM_GETTABCONTROL, 0, 0) != 0;
}

struct WindowSearch {
  const std::function<bool(HWND)>* matches;
  HWND found;
};

BOOL CALLBACK CheckWindow(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<WindowSearch*>(lParam);
  if (!(*search->matches)(window)) return TRUE;
  search->found = window;
  return FALSE;
}

// Polls the thread's top-level windows until one matches, stop turns true or the time is up.
HWND AwaitThreadWindow(DWORD thread, const std::function<bool(HWND)>& matches,
                       const std::atomic<bool>* stop) {
  DWORD start = GetTickCount();
  while (GetTickCount() - start < WaitMs && !(stop && *stop)) {
    WindowSearch search = {&matches, nullptr};
    EnumThreadWindows(thread, CheckWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    Sleep(5);
  }
  return nullptr;
}

void AwaitGone(HWND window) {
  DWORD start = GetTickCount();
  while (IsWindow(window) && GetTickCount() - start < WaitMs) Sleep(5);
}

HWND AwaitAboutWindow(DWORD thread, HWND owner, const std::atomic<bool>* stop) {
  return AwaitThreadWindow(
      thread,
      [owner](HWND window) {
        return IsWindowVisible(window) && IsDialogClass(window) &&
               GetWindow(window, GW_OWNER) == owner && !IsSheet(window);
      },
      stop);
}

BOOL CALLBACK CollectText(HWND control, LPARAM lParam) {
  reinterpret_cast<std::vector<std::string>*>(lParam)->push_back(TextOf(control));
  return TRUE;
}

AboutView ReadAndAnswer(HWND about, int button) {
  AboutView view;
  if (!about) return view;
  view.shown = true;
  view.owner = GetWindow(about, GW_OWNER);
  view.caption = TextOf(about);
  GetWindowRect(about, &view.rect);
  HWND versionControl = GetDlgItem(about, 10);
  view.hasVersionControl = versionControl != nullptr;
  if (versionControl) view.versionControlText = TextOf(versionControl);
  EnumChildWindows(about, CollectText, reinterpret_cast<LPARAM>(&view.controlTexts));
  PostMessageA(about, WM_COMMAND, button, 0);
  AwaitGone(about);
  return view;
}

}  // namespace

HMODULE LoadSaverModule(const char* name) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  folder = folder.substr(0, folder.find_last_of('\\') + 1);
  return LoadLibraryExA((folder + name).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

void ConfigRun::SetUp() {
  EnsureLibrary();
  // The General page starts from the stored settings: those another test's saver left would
  // count as changes on OK.
  for (const char* value : {"Password Delay", "Password Delay Index", "Mouse Threshold",
                            "Mouse Threshold Index", "Active Config"}) {
    RegDeleteKeyValueA(HKEY_CURRENT_USER,
                       "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers", value);
  }
  RegDeleteKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "ScreenSaveUsePassword");
  saved = SavedState{libraryState, saverRun, currentPrefs};
  saverRun = SaverRun{};
  saverRun.instance = GetModuleHandleA(nullptr);
  saverRun.executors = plainExecutors;
  currentPrefs.noAboutMenu = 0;
  currentPrefs.noPreviewNotify = 0;
  RegisterTestClasses();
  owner = CreateWindowExA(0, ownerClass, "Running saver", WS_POPUP | WS_VISIBLE, 0, 0, 80, 60,
                          nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  deliveries.clear();
  topPreview = nestedPreview = nullptr;
  testPageInits = 0;
}

void ConfigRun::TearDown() {
  DestroyWindow(owner);
  libraryState = saved.library;
  saverRun = saved.run;
  currentPrefs = saved.prefs;
}

int RunConfiguration(HWND owner, int notifyOwner, SheetVisit* visit) {
  const DWORD uiThread = GetCurrentThreadId();
  std::atomic<bool> done{false};
  std::thread driver([&] {
    while (!done) {
      HWND sheet = AwaitThreadWindow(uiThread, IsSheet, &done);
      if (!sheet) return;
      ++visit->sheetsSeen;
      if (visit->script) visit->script(sheet);
      // NOTE: posted, as a click would be: the sheet's loop checks whether it has ended only after
      // a posted message, so a sent press would leave it waiting for one.
      PostMessageA(sheet, PSM_PRESSBUTTON, visit->closeButton, 0);
      AwaitGone(sheet);
    }
  });
  int result = DoConfigDialog(owner, notifyOwner);
  done = true;
  driver.join();
  return result;
}

AboutView AnswerAbout(const std::function<int()>& open, int button, int* result) {
  const DWORD uiThread = GetCurrentThreadId();
  std::atomic<bool> done{false};
  AboutView view;
  std::thread driver([&] {
    // Whatever opens the box, its owner is a window of this thread or none.
    HWND about = AwaitThreadWindow(
        uiThread, [](HWND window) { return IsWindowVisible(window) && IsDialogClass(window); },
        &done);
    view = ReadAndAnswer(about, button);
  });
  *result = open();
  done = true;
  driver.join();
  return view;
}

AboutView AwaitAbout(HWND sheet, int button) {
  DWORD thread = GetWindowThreadProcessId(sheet, nullptr);
  return ReadAndAnswer(AwaitAboutWindow(thread, sheet, nullptr), button);
}

std::vector<std::string> TabTexts(HWND sheet) {
  HWND tab = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0));
  std::vector<std::string> texts;
  int count = static_cast<int>(SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char text[100] = {};
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(tab, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
    texts.push_back(text);
  }
  return texts;
}

int CurrentTab(HWND sheet) {
  HWND tab = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0));
  return static_cast<int>(SendMessageA(tab, TCM_GETCURSEL, 0, 0));
}

HWND HiddenDialogOf(HWND sheet) {
  return GetWindow(sheet, GW_OWNER);
}

std::string TextOf(HWND window) {
  char text[400] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

void PrintTo(const IconPicture& picture, std::ostream* out) {
  *out << picture.width << "x" << picture.height;
  if (!picture.pixels.empty()) *out << " starting " << std::hex << picture.pixels[0] << std::dec;
}

IconPicture PictureOf(HICON icon) {
  IconPicture picture;
  ICONINFO info = {};
  if (!icon || !GetIconInfo(icon, &info)) return picture;
  BITMAP bitmap = {};
  GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
  picture.width = bitmap.bmWidth;
  picture.height = bitmap.bmHeight;
  picture.pixels.resize(static_cast<size_t>(bitmap.bmWidth) * bitmap.bmHeight);
  BITMAPINFO format = {};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = bitmap.bmWidth;
  format.bmiHeader.biHeight = -bitmap.bmHeight;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, info.hbmColor, 0, bitmap.bmHeight, picture.pixels.data(), &format,
            DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  for (uint32_t& pixel : picture.pixels) pixel &= 0xFFFFFF;
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return picture;
}

IconPicture ModuleIcon(HMODULE module, int id, bool small) {
  HANDLE icon = small
                    ? LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR)
                    : LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE);
  IconPicture picture = PictureOf(static_cast<HICON>(icon));
  if (icon) DestroyIcon(static_cast<HICON>(icon));
  return picture;
}

INT_PTR CALLBACK TestPageProc(HWND page, UINT message, WPARAM, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: BuildTestPage(page); return TRUE;
    default: return FALSE;
  }
}
