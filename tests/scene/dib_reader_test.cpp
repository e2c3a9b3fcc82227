// The BMP reader and the scene textures on real files: pictures written to a temporary folder
// and read back through the platform's bitmap conversion, message boxes captured, and the
// texture objects checked in a real GL context.
#include <gtest/gtest.h>

#include <windows.h>

#include <GL/gl.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bmp_bytes.h"
#include "dib_layout.h"
#include "dib_reader.h"
#include "message_box_spy.h"
#include "textures.h"

namespace {

using namespace bmp;

struct Shown {
  HWND owner;
  std::string text;
  std::string caption;
  UINT type;
};

std::vector<Shown> shown;

int WINAPI CaptureBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  shown.push_back({owner, text ? text : "", caption ? caption : "", type});
  return IDOK;
}

struct ImageDeleter {
  void operator()(RgbImage* image) const { FreeRgbImage(image); }
};
using Image = std::unique_ptr<RgbImage, ImageDeleter>;

std::string MakeTempFolder() {
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  char name[MAX_PATH];
  GetTempFileNameA(base, "dib", 0, name);
  DeleteFileA(name);
  CreateDirectoryA(name, nullptr);
  return name;
}

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = folder + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(path);
      else DeleteFileA(path.c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(folder.c_str());
}

bool WriteFileBytes(const std::string& path, const Bytes& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = bytes.empty() || WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()),
                                             &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

// A picture as colour indices, top row first, over a palette of distinct colours. At 24 bits
// the palette colours are stored directly.
struct Picture {
  int width;
  int height;
  std::vector<int> index;  // row-major, top row first
};

struct Colour {
  unsigned char r, g, b;
};

Colour PaletteColour(int k) {
  return {static_cast<unsigned char>(20 + 13 * k), static_cast<unsigned char>(250 - 9 * k),
          static_cast<unsigned char>(3 + 7 * k)};
}

Picture Pattern(int width, int height, int colours) {
  Picture p{width, height, {}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) p.index.push_back((x + 3 * y + x * y) % colours);
  return p;
}

// What the reader must return: red-green-blue, bottom row first.
Bytes ExpectedRgb(const Picture& p) {
  Bytes out;
  for (int y = p.height - 1; y >= 0; --y)
    for (int x = 0; x < p.width; ++x) {
      const Colour c = PaletteColour(p.index[y * p.width + x]);
      out.insert(out.end(), {c.r, c.g, c.b});
    }
  return out;
}

Bytes PixelRows(const Picture& p, int bits, bool topDown) {
  const size_t stride = (static_cast<size_t>(p.width) * bits + 31) / 32 * 4;
  Bytes rows;
  for (int i = 0; i < p.height; ++i) {
    const int y = topDown ? i : p.height - 1 - i;
    Bytes row(stride, 0);
    for (int x = 0; x < p.width; ++x) {
      const int k = p.index[y * p.width + x];
      if (bits == 24) {
        const Colour c = PaletteColour(k);
        row[3 * x] = c.b;
        row[3 * x + 1] = c.g;
        row[3 * x + 2] = c.r;
      } else {
        const int bit = x * bits;
        row[bit / 8] |= static_cast<unsigned char>(k << (8 - bits - bit % 8));
      }
    }
    rows.insert(rows.end(), row.begin(), row.end());
  }
  return rows;
}

Bytes ColourTable(int entries, int entrySize) {
  Bytes t;
  for (int k = 0; k < entries; ++k) {
    const Colour c = PaletteColour(k);
    t.insert(t.end(), {c.b, c.g, c.r});
    if (entrySize == 4) t.push_back(0);
  }
  return t;
}

enum class Kind { Core, Info };

struct Encoding {
  int bits;
  Kind kind;
  bool fileHeader;
  bool topDown = false;
  int colorsUsed = 0;  // info header only: a shorter colour table
};

Bytes EncodeBmp(const Picture& p, const Encoding& e) {
  const int entries = e.bits > 8 ? 0 : (e.colorsUsed ? e.colorsUsed : 1 << e.bits);
  Bytes headers;
  if (e.kind == Kind::Core) {
    headers = Join({CoreHeader(static_cast<uint16_t>(p.width), static_cast<uint16_t>(p.height),
                               static_cast<uint16_t>(e.bits)),
                    ColourTable(entries, 3)});
  } else {
    Info info;
    info.width = p.width;
    info.height = e.topDown ? -p.height : p.height;
    info.bits = static_cast<uint16_t>(e.bits);
    info.clrUsed = static_cast<uint32_t>(e.colorsUsed);
    headers = Join({InfoHeader(info), ColourTable(entries, 4)});
  }
  const Bytes body = Join({headers, PixelRows(p, e.bits, e.topDown)});
  return e.fileHeader ? WithFileHeader(body, static_cast<uint32_t>(14 + headers.size())) : body;
}

std::string Describe(const Encoding& e) {
  return std::to_string(e.bits) + " bits, " + (e.kind == Kind::Core ? "core" : "info") +
         " header, " + (e.fileHeader ? "with" : "without") + " file header" +
         (e.topDown ? ", top-down" : "") +
         (e.colorsUsed ? ", " + std::to_string(e.colorsUsed) + " colours used" : "");
}

Bytes PixelsOf(const RgbImage& image) {
  return Bytes(image.pixels, image.pixels + static_cast<size_t>(image.width) * image.height * 3);
}

// Each test gets its own folder and a message box that only records.
class DibReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = MakeTempFolder();
    shown.clear();
    dibMessageBox = CaptureBox;
  }
  void TearDown() override {
    dibMessageBox = MessageBoxA;
    RemoveTree(folder);
  }

  std::string Write(const std::string& name, const Bytes& bytes) {
    const std::string path = folder + "\\" + name;
    EXPECT_TRUE(WriteFileBytes(path, bytes)) << path;
    return path;
  }

  // Reads a file that must be refused, and returns the one message shown for it, which must
  // have the reader's caption, button and owner.
  std::string Refusal(const std::string& path) {
    shown.clear();
    Image image(ReadDibFile(path.c_str()));
    EXPECT_EQ(image, nullptr) << path;
    if (shown.size() != 1) {
      ADD_FAILURE() << path << ": " << shown.size() << " messages";
      return "";
    }
    EXPECT_EQ(shown[0].caption, "Error");
    EXPECT_EQ(shown[0].type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(shown[0].owner, GetFocus());
    return shown[0].text;
  }

  std::string folder;
};

TEST_F(DibReaderTest, EveryDepthAndHeaderKindGivesThePictureBottomRowFirst) {
  std::vector<Encoding> encodings;
  for (int bits : {1, 4, 8, 24})
    for (Kind kind : {Kind::Core, Kind::Info})
      for (bool fileHeader : {false, true}) encodings.push_back({bits, kind, fileHeader});
  encodings.push_back({8, Kind::Info, false, false, 7});
  encodings.push_back({8, Kind::Info, true, false, 7});
  encodings.push_back({4, Kind::Info, false, false, 5});

  for (const Encoding& e : encodings) {
    const int colours = e.bits == 1 ? 2 : (e.colorsUsed ? e.colorsUsed : 7);
    // 5 wide: no depth fills its rows exactly, so every row has filler to skip.
    const Picture picture = Pattern(5, 3, colours);
    Image image(ReadDibFile(Write("p.bmp", EncodeBmp(picture, e)).c_str()));
    ASSERT_NE(image, nullptr) << Describe(e);
    EXPECT_EQ(image->width, 5) << Describe(e);
    EXPECT_EQ(image->height, 3) << Describe(e);
    EXPECT_EQ(PixelsOf(*image), ExpectedRgb(picture)) << Describe(e);
  }
  EXPECT_TRUE(shown.empty());
}

TEST_F(DibReaderTest, CoreHeaderGivesTheSamePixelsAsInfoHeader) {
  for (int bits : {1, 4, 8, 24}) {
    const Picture picture = Pattern(6, 4, bits == 1 ? 2 : 11);
    Image core(
        ReadDibFile(Write("core.bmp", EncodeBmp(picture, {bits, Kind::Core, true})).c_str()));
    Image info(
        ReadDibFile(Write("info.bmp", EncodeBmp(picture, {bits, Kind::Info, true})).c_str()));
    ASSERT_NE(core, nullptr) << bits;
    ASSERT_NE(info, nullptr) << bits;
    EXPECT_EQ(core->width, info->width);
    EXPECT_EQ(core->height, info->height);
    EXPECT_EQ(PixelsOf(*core), PixelsOf(*info)) << bits << " bits";
  }
}

TEST_F(DibReaderTest, ThreePixelWidePictureHasRowsOfNineBytes) {
  // File order: the bottom row (white, grey, black), then the top row (red, green, blue), each
  // pixel blue-green-red and each row ending in 3 filler bytes that would show if copied.
  const Bytes rows = {255, 255, 255, 128, 128, 128, 0,   0, 0, 0xAA, 0xBB, 0xCC,
                      0,   0,   255, 0,   255, 0,   255, 0, 0, 0xAA, 0xBB, 0xCC};
  const Bytes expected = {255, 255, 255, 128, 128, 128, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};
  Image image(ReadDibFile(Write("three.bmp", Join({InfoHeader({3, 2, 24}), rows})).c_str()));
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->width, 3);
  EXPECT_EQ(image->height, 2);
  EXPECT_EQ(PixelsOf(*image), expected);
}

TEST_F(DibReaderTest, TopDownPictureComesOutLikeTheBottomUpOne) {
  for (int bits : {4, 8, 24}) {
    const Picture picture = Pattern(5, 4, 9);
    Image down(
        ReadDibFile(Write("down.bmp", EncodeBmp(picture, {bits, Kind::Info, true, true})).c_str()));
    ASSERT_NE(down, nullptr) << bits;
    EXPECT_EQ(down->width, 5);
    EXPECT_EQ(down->height, 4) << "a positive height";
    EXPECT_EQ(PixelsOf(*down), ExpectedRgb(picture)) << bits << " bits";
  }
}

TEST_F(DibReaderTest, BitFieldMasksAreCarriedToTheConversion) {
  // 32 bits with red in the lowest byte and blue in the third, the reverse of the plain layout:
  // a reader that dropped the masks would swap red and blue.
  Bytes pixels32;
  for (const Colour& c :
       {Colour{255, 0, 0}, Colour{0, 255, 0}, Colour{0, 0, 255}, Colour{10, 20, 30}})
    pixels32.insert(pixels32.end(), {c.r, c.g, c.b, 0});
  const Bytes headers32 =
      Join({InfoHeader({2, 2, 32, DibBitFields}), Masks(0x000000FF, 0x0000FF00, 0x00FF0000)});
  const Bytes expected32 = {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30};

  // 16 bits, 5-6-5, only full and empty channels so no rounding is involved; rows of 6 bytes
  // padded to 8.
  Bytes pixels16;
  for (uint16_t v : {0xF800, 0x07E0, 0x0000, 0x0000, 0x001F, 0xFFFF, 0xF81F, 0x0000})
    Put16(pixels16, v);
  const Bytes headers16 =
      Join({InfoHeader({3, 2, 16, DibBitFields}), Masks(0xF800, 0x07E0, 0x001F)});
  const Bytes expected16 = {255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 0, 255, 255, 255, 255, 255, 0, 255};

  struct Case {
    const char* name;
    Bytes file;
    Bytes expected;
  };
  const Case cases[] = {
      {"32 bits, pixels right after the masks", Join({headers32, pixels32}), expected32},
      {"32 bits, file header", WithFileHeader(Join({headers32, pixels32}), 14 + 52), expected32},
      {"16 bits, pixels right after the masks", Join({headers16, pixels16}), expected16},
      {"16 bits, file header", WithFileHeader(Join({headers16, pixels16}), 14 + 52), expected16},
  };
  for (const Case& c : cases) {
    Image image(ReadDibFile(Write("masks.bmp", c.file).c_str()));
    ASSERT_NE(image, nullptr) << c.name;
    EXPECT_EQ(PixelsOf(*image), c.expected) << c.name;
  }
  EXPECT_TRUE(shown.empty());
}

TEST_F(DibReaderTest, RunLengthStreamsAreDecoded) {
  const Colour c0 = PaletteColour(0), c1 = PaletteColour(1), c2 = PaletteColour(2),
               c3 = PaletteColour(3);
  // Bottom row: four pixels of colour 1; top row: colours 0 to 3 given one by one.
  const Bytes stream8 = {4, 1, 0, 0, 0, 4, 0, 1, 2, 3, 0, 1};
  const Bytes file8 =
      WithFileHeader(Join({InfoHeader({4, 2, 8, DibRle8, static_cast<uint32_t>(stream8.size())}),
                           ColourTable(256, 4), stream8}),
                     14 + 40 + 1024);
  // One row of colours 1 and 2 alternating, from a single run of two 4-bit indices.
  const Bytes stream4 = {4, 0x12, 0, 1};
  const Bytes file4 = Join({InfoHeader({4, 1, 4, DibRle4, 4}), ColourTable(16, 4), stream4});

  Image rle8(ReadDibFile(Write("rle8.bmp", file8).c_str()));
  ASSERT_NE(rle8, nullptr);
  EXPECT_EQ(PixelsOf(*rle8),
            (Bytes{c1.r, c1.g, c1.b, c1.r, c1.g, c1.b, c1.r, c1.g, c1.b, c1.r, c1.g, c1.b,
                   c0.r, c0.g, c0.b, c1.r, c1.g, c1.b, c2.r, c2.g, c2.b, c3.r, c3.g, c3.b}));
  Image rle4(ReadDibFile(Write("rle4.bmp", file4).c_str()));
  ASSERT_NE(rle4, nullptr);
  EXPECT_EQ(PixelsOf(*rle4),
            (Bytes{c1.r, c1.g, c1.b, c2.r, c2.g, c2.b, c1.r, c1.g, c1.b, c2.r, c2.g, c2.b}));
  EXPECT_TRUE(shown.empty());
}

TEST_F(DibReaderTest, RefusedFilesNameTheirFault) {
  const Bytes info8 = Join({InfoHeader({3, 2, 8}), ColourTable(256, 4)});
  const Bytes pixels8(8, 1);
  const Bytes core8 = Join({CoreHeader(3, 2, 8), ColourTable(256, 3)});
  const Bytes masks = Join({InfoHeader({3, 2, 16, DibBitFields}), Masks(0xF800, 0x07E0, 0x001F)});
  const std::string unknown = "Unknown DIB file format.";
  const std::string conversion = "Image file conversion error.";
  struct Case {
    const char* name;
    Bytes file;
    std::string message;
  };
  const Case cases[] = {
      {"108-byte header", Join({InfoHeader({3, 2, 24, 0, 0, 0, 0, 108}), Bytes(24, 0)}), unknown},
      {"124-byte header",
       WithFileHeader(Join({InfoHeader({3, 2, 24, 0, 0, 0, 0, 124}), Bytes(24, 0)}), 138), unknown},
      {"JPEG compression", Join({InfoHeader({3, 2, 24, 4}), Bytes(24, 0)}), unknown},
      {"not a bitmap", {'G', 'I', 'F', '8', '9', 'a', 0, 0}, unknown},
      {"too short for a header size", {'B', 'M', 0, 0}, conversion},
      {"info header cut", Cut(InfoHeader({3, 2, 24}), 2), conversion},
      {"core header cut", Cut(CoreHeader(3, 2, 24), 2), conversion},
      {"info colour table cut", Cut(info8, 3), conversion},
      {"core colour table cut, pixel offset inside the file", WithFileHeader(Cut(core8, 3), 26),
       conversion},
      {"masks cut", Cut(masks, 4), conversion},
      {"pixel data cut", Cut(Join({info8, pixels8}), 1), conversion},
      {"pixel data cut behind a file header",
       WithFileHeader(Cut(Join({core8, pixels8}), 1), 26 + 768), conversion},
      {"pixel offset past the end", WithFileHeader(Join({info8, pixels8}), 14 + 1064 + 1),
       conversion},
      {"width 0", Join({InfoHeader({0, 2, 24}), Bytes(24, 0)}), conversion},
      {"negative width", Join({InfoHeader({-3, 2, 24}), Bytes(24, 0)}), conversion},
      {"height 0", Join({InfoHeader({3, 0, 24}), Bytes(24, 0)}), conversion},
      {"7 bits per pixel", Join({InfoHeader({3, 2, 7}), Bytes(24, 0)}), conversion},
      {"stream without a size",
       Join({InfoHeader({4, 2, 8, DibRle8}), ColourTable(256, 4), Bytes{0, 1}}), conversion},
      {"stream longer than the file",
       Join({InfoHeader({4, 2, 8, DibRle8, 3}), ColourTable(256, 4), Bytes{0, 1}}), conversion},
      {"huge picture", Join({InfoHeader({0x7FFFFFFF, 0x7FFFFFFF, 24}), Bytes(24, 0)}), conversion},
      {"stream of a 2^32-pixel picture",
       Join({InfoHeader({65536, 65536, 8, DibRle8, 2}), ColourTable(256, 4), Bytes{0, 1}}),
       "Out of memory."},
  };
  for (const Case& c : cases) EXPECT_EQ(Refusal(Write("bad.bmp", c.file)), c.message) << c.name;
}

TEST_F(DibReaderTest, FilesThatCannotBeOpenedAreNamedWithTheirPath) {
  const std::string empty = Write("empty.bmp", {});
  const std::string missing = folder + "\\missing.bmp";
  const std::string longPath =
      folder + "\\" + std::string(5000, 'n') + "\\" + std::string(3000, 'm') + ".bmp";
  for (const std::string& path : {empty, missing, longPath})
    EXPECT_EQ(Refusal(path), "Failed to open DIB file " + path + ".\n");

  // An empty file passes the texture loader's open check, so the loader reports it too.
  shown.clear();
  EXPECT_EQ(Image(LoadTextureImage(empty.c_str())), nullptr);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Failed to open DIB file " + empty + ".\n");
}

TEST_F(DibReaderTest, LoadTextureImageIsSilentAboutMissingFiles) {
  EXPECT_EQ(Image(LoadTextureImage((folder + "\\missing.bmp").c_str())), nullptr);
  EXPECT_EQ(Image(LoadTextureImage(nullptr)), nullptr);
  EXPECT_TRUE(shown.empty());

  const Picture picture = Pattern(4, 2, 5);
  Image image(LoadTextureImage(Write("ok.bmp", EncodeBmp(picture, {8, Kind::Info, true})).c_str()));
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(PixelsOf(*image), ExpectedRgb(picture));
  EXPECT_TRUE(shown.empty());
}

TEST_F(DibReaderTest, FileIsReleasedAfterEveryRead) {
  // A file still open or mapped cannot be deleted.
  const std::string good = Write("good.bmp", EncodeBmp(Pattern(4, 4, 3), {24, Kind::Info, true}));
  Image image(ReadDibFile(good.c_str()));
  ASSERT_NE(image, nullptr);
  EXPECT_TRUE(DeleteFileA(good.c_str())) << GetLastError();

  const std::string cut =
      Write("cut.bmp", Cut(EncodeBmp(Pattern(4, 4, 3), {24, Kind::Info, true}), 5));
  EXPECT_EQ(Image(ReadDibFile(cut.c_str())), nullptr);
  EXPECT_TRUE(DeleteFileA(cut.c_str())) << GetLastError();

  const std::string unknown = Write("unknown.bmp", InfoHeader({3, 2, 24, 0, 0, 0, 0, 124}));
  EXPECT_EQ(Image(ReadDibFile(unknown.c_str())), nullptr);
  EXPECT_TRUE(DeleteFileA(unknown.c_str())) << GetLastError();
}

TEST_F(DibReaderTest, RealMessageBoxIsOwnedByTheFocusWindow) {
  dibMessageBox = MessageBoxA;
  WNDCLASSA cls = {};
  cls.lpfnWndProc = DefWindowProcA;
  cls.hInstance = GetModuleHandleA(nullptr);
  cls.lpszClassName = "DibReaderFocusTest";
  RegisterClassA(&cls);
  HWND window = CreateWindowA("DibReaderFocusTest", "focus", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                              200, 100, nullptr, nullptr, cls.hInstance, nullptr);
  ASSERT_NE(window, nullptr);
  SetForegroundWindow(window);
  SetFocus(window);
  ASSERT_EQ(GetFocus(), window);

  struct Case {
    std::string path;
    std::string text;
  };
  const Case cases[] = {
      {Write("empty.bmp", {}), ""},
      {Write("v5.bmp", InfoHeader({3, 2, 24, 0, 0, 0, 0, 124})), "Unknown DIB file format."},
      {Write("cut.bmp", Cut(InfoHeader({3, 2, 24}), 1)), "Image file conversion error."},
  };
  for (const Case& c : cases) {
    // Closing the previous box hands the focus back asynchronously; take it again.
    SetForegroundWindow(window);
    SetFocus(window);
    StartAnsweringBoxes();
    EXPECT_EQ(Image(ReadDibFile(c.path.c_str())), nullptr);
    const std::vector<ShownBox> boxes = StopAnsweringBoxes();
    const ShownBox seenBox = boxes.empty() ? ShownBox{} : boxes.back();
    EXPECT_EQ(static_cast<int>(boxes.size()), 1) << c.path;
    const std::string expected =
        c.text.empty() ? "Failed to open DIB file " + c.path + ".\n" : c.text;
    EXPECT_EQ(seenBox.text, expected);
    EXPECT_EQ(seenBox.caption, "Error");
    EXPECT_EQ(seenBox.owner, window);
    EXPECT_TRUE(seenBox.onlyOk);
  }
  DestroyWindow(window);
  UnregisterClassA("DibReaderFocusTest", cls.hInstance);
}

// A hidden window with a GL context, shared by the texture tests.
class SceneTexturesTest : public DibReaderTest {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSA cls = {};
    cls.style = CS_OWNDC;
    cls.lpfnWndProc = DefWindowProcA;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = "DibReaderGlTest";
    RegisterClassA(&cls);
    window = CreateWindowA("DibReaderGlTest", "gl", WS_POPUP, 0, 0, 64, 64, nullptr, nullptr,
                           cls.hInstance, nullptr);
    dc = window ? GetDC(window) : nullptr;
    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 16;
    pfd.cDepthBits = 16;
    const int format = dc ? ChoosePixelFormat(dc, &pfd) : 0;
    if (format && SetPixelFormat(dc, format, &pfd)) context = wglCreateContext(dc);
    if (context) wglMakeCurrent(dc, context);
  }

  static void TearDownTestSuite() {
    if (context) {
      wglMakeCurrent(nullptr, nullptr);
      wglDeleteContext(context);
    }
    if (dc) ReleaseDC(window, dc);
    if (window) DestroyWindow(window);
    UnregisterClassA("DibReaderGlTest", GetModuleHandleA(nullptr));
  }

  void SetUp() override {
    DibReaderTest::SetUp();
    ASSERT_NE(context, nullptr) << "no GL context";
    char current[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, current);
    startFolder = current;
  }

  void TearDown() override {
    ForgetTextures();
    SetCurrentDirectoryA(startFolder.c_str());
    DibReaderTest::TearDown();
  }

  static void ForgetTextures() {
    for (unsigned int* name : {&floorTexture, &wallTexture, &glowTexture}) {
      if (*name) glDeleteTextures(1, name);
      *name = 0;
    }
  }

  // Makes a new folder, with texture/ holding the given files, the current directory.
  void UseFolderWith(const std::string& name,
                     const std::vector<std::pair<std::string, Bytes>>& files) {
    const std::string place = folder + "\\" + name;
    CreateDirectoryA(place.c_str(), nullptr);
    CreateDirectoryA((place + "\\texture").c_str(), nullptr);
    for (const auto& f : files) Write(name + "\\texture\\" + f.first, f.second);
    ASSERT_TRUE(SetCurrentDirectoryA(place.c_str()));
  }

  static GLint LevelWidth(unsigned int name, int level) {
    glBindTexture(GL_TEXTURE_2D, name);
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
    return width;
  }

  static GLint Filter(unsigned int name, GLenum which) {
    glBindTexture(GL_TEXTURE_2D, name);
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, which, &value);
    return value;
  }

  static Bytes LevelZero(unsigned int name, int width, int height) {
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    Bytes out(static_cast<size_t>(width) * height * 3);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, out.data());
    return out;
  }

  static HWND window;
  static HDC dc;
  static HGLRC context;
  std::string startFolder;
};

HWND SceneTexturesTest::window = nullptr;
HDC SceneTexturesTest::dc = nullptr;
HGLRC SceneTexturesTest::context = nullptr;

TEST_F(SceneTexturesTest, ShippedTexturesAllLoad) {
  // The build writes texture/ beside the test program.
  char program[MAX_PATH];
  GetModuleFileNameA(nullptr, program, MAX_PATH);
  std::string programFolder = program;
  programFolder.resize(programFolder.find_last_of('\\'));
  ASSERT_TRUE(SetCurrentDirectoryA(programFolder.c_str()));

  ASSERT_TRUE(LoadSceneTextures());
  EXPECT_TRUE(shown.empty());
  struct Slot {
    const char* path;
    unsigned int name;
    GLint filter;
    GLint minFilter;
    bool mipmaps;
  };
  const Slot slots[] = {
      {"texture/wood.bmp", floorTexture, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST, true},
      {"texture/wood2.bmp", wallTexture, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST, true},
      {"texture/plasma.bmp", glowTexture, GL_NEAREST, GL_NEAREST, false},
  };
  for (const Slot& s : slots) {
    ASSERT_NE(s.name, 0u) << s.path;
    Image file(ReadDibFile(s.path));
    ASSERT_NE(file, nullptr) << s.path;
    EXPECT_EQ(LevelWidth(s.name, 0), file->width) << s.path;
    EXPECT_EQ(LevelWidth(s.name, 1), s.mipmaps ? file->width / 2 : 0) << s.path;
    EXPECT_EQ(Filter(s.name, GL_TEXTURE_MAG_FILTER), s.filter) << s.path;
    EXPECT_EQ(Filter(s.name, GL_TEXTURE_MIN_FILTER), s.minFilter) << s.path;
    EXPECT_EQ(LevelZero(s.name, file->width, file->height), PixelsOf(*file)) << s.path;
  }
  EXPECT_NE(floorTexture, wallTexture);
  EXPECT_NE(wallTexture, glowTexture);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(SceneTexturesTest, OneFileOfThreeIsEnough) {
  // 2 pixels wide: rows of 6 bytes, which an unpack alignment of 4 would read askew.
  const Picture picture = Pattern(2, 2, 4);
  const Bytes file = EncodeBmp(picture, {24, Kind::Info, true});
  struct Case {
    const char* file;
    unsigned int* name;
  };
  const Case cases[] = {
      {"wood.bmp", &floorTexture}, {"wood2.bmp", &wallTexture}, {"plasma.bmp", &glowTexture}};
  for (const Case& c : cases) {
    UseFolderWith(c.file, {{c.file, file}});
    ASSERT_TRUE(LoadSceneTextures()) << c.file;
    for (unsigned int* name : {&floorTexture, &wallTexture, &glowTexture})
      EXPECT_EQ(*name != 0, name == c.name) << c.file;
    EXPECT_EQ(LevelZero(*c.name, 2, 2), ExpectedRgb(picture)) << c.file;
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4) << "left as it was found";
    ForgetTextures();
  }
  EXPECT_TRUE(shown.empty());
}

TEST_F(SceneTexturesTest, NoFilesMeansNoTextures) {
  UseFolderWith("none", {});
  EXPECT_FALSE(LoadSceneTextures());
  EXPECT_EQ(floorTexture, 0u);
  EXPECT_EQ(wallTexture, 0u);
  EXPECT_EQ(glowTexture, 0u);
  EXPECT_TRUE(shown.empty()) << "missing files are passed over silently";
}

TEST_F(SceneTexturesTest, UnreadableFileIsReportedAndTheOthersLoad) {
  UseFolderWith("one bad", {{"wood.bmp", {}},
                            {"plasma.bmp", EncodeBmp(Pattern(4, 4, 3), {8, Kind::Core, false})}});
  EXPECT_TRUE(LoadSceneTextures());
  EXPECT_EQ(floorTexture, 0u);
  EXPECT_EQ(wallTexture, 0u);
  EXPECT_NE(glowTexture, 0u);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Failed to open DIB file texture/wood.bmp.\n");
}

}  // namespace
