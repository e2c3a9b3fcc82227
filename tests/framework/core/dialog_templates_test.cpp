// The framework's three dialog templates as built into the module that carries them: read from the
// resource itself (DLGTEMPLATE, or DLGTEMPLATEEX should the script ever use DIALOGEX) and held
// against the layout the framework's code and its users rely on, control by control.
#include "morvane.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct DialogItem {
  std::string className;  // predefined classes by name, whether stored by name or by atom
  std::string text;       // an ordinal (an icon's resource id) as "#N"
  unsigned id;
  DWORD style;
  DWORD exStyle;
  int x, y, cx, cy;
};

struct DialogTemplate {
  DWORD style = 0;
  DWORD exStyle = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
  std::string menu, windowClass, caption;
  int pointSize = 0;
  std::string font;
  std::vector<DialogItem> items;
};

// Reads a resource's bytes, refusing (failed) rather than reading past their end.
class TemplateReader {
 public:
  TemplateReader(const unsigned char* data, size_t size) : data_(data), size_(size) {}

  bool failed() const { return failed_; }
  bool atEnd() const { return at_ >= size_; }

  WORD Word() {
    WORD value = 0;
    Bytes(&value, sizeof value);
    return value;
  }
  DWORD Dword() {
    DWORD value = 0;
    Bytes(&value, sizeof value);
    return value;
  }
  short Short() { return static_cast<short>(Word()); }
  BYTE Byte() {
    BYTE value = 0;
    Bytes(&value, sizeof value);
    return value;
  }

  // A zero-terminated UTF-16 text (ASCII is all the templates hold).
  std::string Text() {
    std::string text;
    for (WORD c = Word(); c && !failed_; c = Word()) text += c < 0x80 ? char(c) : '?';
    return text;
  }

  // A name or an ordinal: 0xFFFF then the number, as "#N"; 0 alone is none.
  std::string NameOrOrdinal() {
    if (failed_ || at_ + 2 > size_) {
      failed_ = true;
      return "";
    }
    WORD first = 0;
    std::memcpy(&first, data_ + at_, sizeof first);
    if (first == 0xFFFF) {
      at_ += 2;
      return "#" + std::to_string(Word());
    }
    return Text();
  }

  void AlignToDword() { at_ = (at_ + 3) & ~size_t(3); }
  void Skip(size_t count) {
    if (at_ + count > size_) failed_ = true;
    at_ += count;
  }

 private:
  void Bytes(void* target, size_t count) {
    if (failed_ || at_ + count > size_) {
      failed_ = true;
      return;
    }
    std::memcpy(target, data_ + at_, count);
    at_ += count;
  }

  const unsigned char* data_;
  size_t size_;
  size_t at_ = 0;
  bool failed_ = false;
};

// The predefined control classes that templates name by atom.
std::string ClassName(const std::string& stored) {
  static const char* const predefined[] = {"Button",  "Edit",      "Static",
                                           "ListBox", "ScrollBar", "ComboBox"};
  if (stored.size() > 1 && stored[0] == '#') {
    int atom = std::stoi(stored.substr(1));
    if (atom >= 0x80 && atom <= 0x85) return predefined[atom - 0x80];
  }
  for (const char* name : predefined) {
    if (lstrcmpiA(name, stored.c_str()) == 0) return name;
  }
  return stored;
}

// The dialog template of that id in the module, parsed; false when it is missing or malformed.
bool ReadDialogTemplate(HMODULE module, int id, DialogTemplate* dialog) {
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));
  if (!found) return false;
  HGLOBAL loaded = LoadResource(module, found);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return false;
  const DWORD size = SizeofResource(module, found);
  TemplateReader in(static_cast<const unsigned char*>(bytes), size);
  // An extended template starts with its version 1 and the signature 0xFFFF.
  const bool extended = size >= 4 && std::memcmp(bytes, "\x01\x00\xFF\xFF", 4) == 0;
  if (extended) {
    in.Dword();  // version and signature
    in.Dword();  // help id
    dialog->exStyle = in.Dword();
    dialog->style = in.Dword();
  } else {
    dialog->style = in.Dword();
    dialog->exStyle = in.Dword();
  }
  const WORD count = in.Word();
  dialog->x = in.Short();
  dialog->y = in.Short();
  dialog->cx = in.Short();
  dialog->cy = in.Short();
  dialog->menu = in.NameOrOrdinal();
  dialog->windowClass = in.NameOrOrdinal();
  dialog->caption = in.Text();
  if (dialog->style & (DS_SETFONT | DS_SHELLFONT)) {
    dialog->pointSize = in.Word();
    if (extended) {
      in.Word();  // weight
      in.Byte();  // italic
      in.Byte();  // character set
    }
    dialog->font = in.Text();
  }
  for (WORD i = 0; i < count && !in.failed(); ++i) {
    in.AlignToDword();
    DialogItem item = {};
    if (extended) {
      in.Dword();  // help id
      item.exStyle = in.Dword();
      item.style = in.Dword();
    } else {
      item.style = in.Dword();
      item.exStyle = in.Dword();
    }
    item.x = in.Short();
    item.y = in.Short();
    item.cx = in.Short();
    item.cy = in.Short();
    item.id = extended ? in.Dword() : in.Word();
    item.className = ClassName(in.NameOrOrdinal());
    item.text = in.NameOrOrdinal();
    in.Skip(in.Word());  // creation data
    dialog->items.push_back(item);
  }
  return !in.failed();
}

const DWORD child = WS_CHILD | WS_VISIBLE;
const unsigned noId = 0xFFFF;  // -1 as a template's 16-bit id

// Which edges of its template place a created control keeps: some controls move or size
// themselves once created.
enum Edges : unsigned {
  LeftEdge = 1,
  TopEdge = 2,
  RightEdge = 4,
  BottomEdge = 8,
  AllEdges = 15,
  Centre = 16,                                     // sized to its picture round the centre
  IconCorner = LeftEdge | TopEdge,                 // an icon sizes itself to the icon
  DropListWidth = LeftEdge | TopEdge | RightEdge,  // a closed list is one line high
  BuddyLeft = LeftEdge | TopEdge | BottomEdge,     // narrowed by the up-down control
  MovesItself = 0,                                 // the up-down control, beside its buddy
};

struct ExpectedItem {
  DialogItem item;
  unsigned kept = AllEdges;
};

struct ExpectedDialog {
  int id;
  DWORD style;
  int x, y, cx, cy;
  const char* caption;
  int pointSize;
  const char* font;
  std::vector<ExpectedItem> items;
};

std::vector<ExpectedDialog> ExpectedDialogs() {
  const DWORD frame = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  const DWORD label = child | SS_LEFT | WS_GROUP;
  const DWORD dropList = child | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
  const DWORD check = child | BS_AUTOCHECKBOX | WS_TABSTOP;
  const DWORD line = child | SS_LEFTNOWORDWRAP | WS_GROUP;
  const DWORD centred = child | SS_CENTER | WS_GROUP;
  const DWORD spin = child | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS;
  const char* cornersText =
      "You can display the screen saver immediately, or prevent it from\nappearing at all, by "
      "moving the mouse pointer to a corner on \nthe screen.  Click the corners you want to use.";
  const char* agentText =
      "The system agent must be active in order for you to display \nthe screen saver "
      "immediately by moving the mouse \npointer to a corner on the screen.";
  ExpectedDialog host = {3600,
                         frame | WS_VISIBLE,
                         0,
                         0,
                         186,
                         95,
                         "Only used to call main dialog - never displayed",
                         0,
                         "",
                         {}};
  host.items = {{{"Static", "ctrlchild", 3638, label, 0, 13, 8, 282, 43}}};

  ExpectedDialog general = {
      3601, frame | WS_VISIBLE | DS_SETFONT, 0, 0, 237, 220, "General", 8, "MS Sans Serif", {}};
  general.items = {
      {{"Static", cornersText, 3638, label, 0, 13, 8, 282, 43}},
      {{"Static", agentText, 3639, label, 0, 13, 13, 282, 43}},
      {{"Button", "Options for dismissing the screen saver", 3630, child | BS_GROUPBOX, 0, 7, 154,
        223, 47}},
      {{"Static", "&Mouse sensitivity", 3631, label, 0, 13, 169, 58, 12}},
      {{"ComboBox", "", 3632, dropList, 0, 74, 167, 148, 72}, DropListWidth},
      {{"Static", "&Wait", 3633, child | SS_RIGHT | WS_GROUP, 0, 13, 184, 16, 12}},
      {{"Edit", "", 3634, child | WS_BORDER | WS_TABSTOP, 0, 32, 184, 25, 12}, BuddyLeft},
      {{UPDOWN_CLASSA, "Generic1", 3635, spin, 0, 57, 184, 11, 36}, MovesItself},
      {{"ComboBox", "", 3636, dropList, 0, 74, 184, 50, 36}, DropListWidth},
      {{"Static", "before requiring a password", 3637, label, 0, 130, 185, 95, 11}},
      {{"Static", "Always require password", 3644, child | SS_LEFT, 0, 13, 184, 282, 11}},
      {{"MorvaneMonitorClass", "Control corners", 3640, child | MS_CORNERS, 0, 108, 82, 20, 20},
       Centre},
      {{"Button", "Mute Sound", 3641, check, 0, 11, 202, 65, 15}},
      {{"Button", "Allow active-configuration", 3643, check, 0, 116, 202, 101, 15}},
  };

  ExpectedDialog about = {3602,
                          frame | DS_CONTEXTHELP | DS_3DLOOK | DS_SETFONT,
                          53,
                          20,
                          163,
                          112,
                          "About Morvane",
                          8,
                          "Helv",
                          {}};
  about.items = {
      {{"Static", "#199", noId, child | SS_ICON, 0, 11, 4, 21, 20}, IconCorner},
      {{"Button", "OK", IDOK, child | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 59, 94, 40, 14}},
      {{"Static", "This screensaver uses the Morvane!", noId, line, 0, 39, 2, 115, 8}},
      {{"Static", "screensaver development library,", noId, line, 0, 39, 10, 108, 8}},
      {{"Static", "written by the Morvane authors.", noId, line, 0, 39, 18, 108, 8}},
      {{"Button", "Morvane", 10, child | BS_GROUPBOX, 0, 3, 28, 157, 61}},
      {{"Static", "Morvane turns a saver's drawing", noId, centred, 0, 7, 37, 148, 8}},
      {{"Static", "code into a screen saver: full", noId, centred, 0, 7, 45, 148, 8}},
      {{"Static", "screen, previews, a settings", noId, centred, 0, 7, 53, 148, 8}},
      {{"Static", "sheet, hot corners, passwords", noId, centred, 0, 7, 61, 148, 8}},
      {{"Static", "and timers, as a DLL or linked in.", noId, centred, 0, 7, 69, 148, 8}},
      {{"Static", "www.morvane.example", noId, centred, 0, 7, 77, 148, 8}},
  };
  return {host, general, about};
}

std::string Hex(DWORD value) {
  char text[16];
  wsprintfA(text, "0x%08lX", value);
  return text;
}

TEST(DialogTemplates, EachDialogHasItsFrameFontAndControlsInTabOrder) {
  for (const ExpectedDialog& expected : ExpectedDialogs()) {
    SCOPED_TRACE("dialog " + std::to_string(expected.id));
    DialogTemplate dialog;
    ASSERT_TRUE(ReadDialogTemplate(GetModuleHandleA(nullptr), expected.id, &dialog));
    EXPECT_EQ(Hex(expected.style), Hex(dialog.style));
    EXPECT_EQ(Hex(0), Hex(dialog.exStyle));
    EXPECT_EQ(expected.x, dialog.x);
    EXPECT_EQ(expected.y, dialog.y);
    EXPECT_EQ(expected.cx, dialog.cx);
    EXPECT_EQ(expected.cy, dialog.cy);
    EXPECT_EQ("", dialog.menu);
    EXPECT_EQ("", dialog.windowClass);
    EXPECT_EQ(expected.caption, dialog.caption);
    EXPECT_EQ(expected.pointSize, dialog.pointSize);
    EXPECT_EQ(expected.font, dialog.font);
    ASSERT_EQ(expected.items.size(), dialog.items.size());
    for (size_t i = 0; i < expected.items.size(); ++i) {
      const DialogItem& want = expected.items[i].item;
      const DialogItem& got = dialog.items[i];
      SCOPED_TRACE("control " + std::to_string(i) + " (id " + std::to_string(want.id) + ")");
      EXPECT_EQ(want.id, got.id);
      EXPECT_EQ(0, lstrcmpiA(want.className.c_str(), got.className.c_str())) << got.className;
      EXPECT_EQ(want.text, got.text);
      EXPECT_EQ(Hex(want.style), Hex(got.style));
      EXPECT_EQ(Hex(want.exStyle), Hex(got.exStyle));
      EXPECT_EQ(want.x, got.x);
      EXPECT_EQ(want.y, got.y);
      EXPECT_EQ(want.cx, got.cx);
      EXPECT_EQ(want.cy, got.cy);
    }
  }
}

INT_PTR CALLBACK PassiveDialogProc(HWND, UINT, WPARAM, LPARAM) {
  return FALSE;
}

// The system reads the templates as this test does: every control where its template puts it,
// in dialog units of the dialog's own font, as far as the control does not place itself.
TEST(DialogTemplates, CreatedDialogsPlaceTheirControlsWhereTheTemplatesSay) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&controls);
  ScrSetPrefs(ScrGetPrefs());  // the first public call registers the monitor classes
  for (const ExpectedDialog& expected : ExpectedDialogs()) {
    SCOPED_TRACE("dialog " + std::to_string(expected.id));
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(expected.id),
                                     nullptr, PassiveDialogProc, 0);
    ASSERT_NE(nullptr, dialog);
    // The controls in creation order, which is the template's.
    HWND control = GetWindow(dialog, GW_CHILD);
    for (const ExpectedItem& expectedItem : expected.items) {
      const DialogItem& want = expectedItem.item;
      SCOPED_TRACE("control " + want.text.substr(0, 20) + " (id " + std::to_string(want.id) + ")");
      ASSERT_NE(nullptr, control);
      EXPECT_EQ(want.id, static_cast<unsigned>(GetDlgCtrlID(control)) & 0xFFFF);
      // Position and size are converted each on its own, as the dialog manager does.
      RECT corner = {want.x, want.y, want.cx, want.cy};
      MapDialogRect(dialog, &corner);
      const RECT place = {corner.left, corner.top, corner.left + corner.right,
                          corner.top + corner.bottom};
      RECT shown;
      GetWindowRect(control, &shown);
      MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&shown), 2);
      const unsigned kept = expectedItem.kept;
      if (kept & LeftEdge) {
        EXPECT_EQ(place.left, shown.left);
      }
      if (kept & TopEdge) {
        EXPECT_EQ(place.top, shown.top);
      }
      if (kept & RightEdge) {
        EXPECT_EQ(place.right, shown.right);
      }
      if (kept & BottomEdge) {
        EXPECT_EQ(place.bottom, shown.bottom);
      }
      if (kept & Centre) {
        EXPECT_NEAR((place.left + place.right) / 2, (shown.left + shown.right) / 2, 1);
        EXPECT_NEAR((place.top + place.bottom) / 2, (shown.top + shown.bottom) / 2, 1);
      }
      control = GetWindow(control, GW_HWNDNEXT);
    }
    EXPECT_EQ(nullptr, control) << "a control more than the template holds";
    DestroyWindow(dialog);
  }
}

}  // namespace
