// The bitmap layout reader on hand-made file images. Every image is parsed from a heap block of
// exactly its own size, so AddressSanitizer reports any read past the end of a file.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bmp_bytes.h"
#include "dib_layout.h"

namespace {

using namespace bmp;

// Colour entries whose bytes say where they came from: entry k is (k, k+1, k+2[, k+3]).
Bytes Table(int entries, int entrySize) {
  Bytes b;
  for (int k = 0; k < entries; ++k)
    for (int c = 0; c < entrySize; ++c) b.push_back(static_cast<unsigned char>(k + c));
  return b;
}

Bytes Pixels(size_t count) {
  return Bytes(count, 0x5A);
}

// Parses from a block of exactly the file's size.
DibStatus ParseExact(const Bytes& file, DibLayout* layout) {
  std::unique_ptr<unsigned char[]> exact(new unsigned char[file.size() ? file.size() : 1]);
  if (!file.empty()) std::memcpy(exact.get(), file.data(), file.size());
  return ParseDib(file.empty() ? nullptr : exact.get(), file.size(), layout);
}

TEST(DibColorCount, FollowsHeaderKindBitsAndColoursUsed) {
  struct Case {
    const char* name;
    Bytes header;
    uint16_t count;
  };
  const Case cases[] = {
      {"core 1 bit", CoreHeader(4, 4, 1), 2},
      {"core 4 bits", CoreHeader(4, 4, 4), 16},
      {"core 8 bits", CoreHeader(4, 4, 8), 256},
      {"core 24 bits", CoreHeader(4, 4, 24), 0},
      {"info 1 bit", InfoHeader({3, 2, 1}), 2},
      {"info 4 bits", InfoHeader({3, 2, 4}), 16},
      {"info 8 bits", InfoHeader({3, 2, 8}), 256},
      {"info 8 bits, 17 used", InfoHeader({3, 2, 8, 0, 0, 17}), 17},
      {"info 16 bits", InfoHeader({3, 2, 16}), 0},
      {"info 24 bits", InfoHeader({3, 2, 24}), 0},
      {"info 24 bits, 5 used", InfoHeader({3, 2, 24, 0, 0, 5}), 5},
      {"info 32 bits", InfoHeader({3, 2, 32}), 0},
      {"low 16 bits of used are 0", InfoHeader({3, 2, 8, 0, 0, 0x10000}), 256},
      {"low 16 bits of used are 3", InfoHeader({3, 2, 8, 0, 0, 0x10003}), 3},
      {"108-byte header", InfoHeader({3, 2, 8, 0, 0, 0, 0, 108}), 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DibColorCount(c.header.data(), c.header.size()), c.count) << c.name;

  const Bytes info = InfoHeader({3, 2, 8});
  EXPECT_EQ(DibColorCount(info.data(), 39), 0) << "cut info header";
  EXPECT_EQ(DibColorCount(info.data(), 3), 0) << "cut size field";
  EXPECT_EQ(DibColorCount(nullptr, 40), 0);
}

TEST(ParseDib, LocatesHeaderColourTableAndPixels) {
  struct Case {
    const char* name;
    Bytes file;
    size_t colorTableOffset, colorEntrySize, colorCount, pixelOffset, pixelBytes;
    int32_t width, height;
  };
  // 3 x 2 at 8 bits: rows of 3 bytes padded to 4.
  const Bytes core8 = Join({CoreHeader(3, 2, 8), Table(256, 3)});
  const Bytes info8 = Join({InfoHeader({3, 2, 8, 0, 0, 3}), Table(3, 4)});
  const Bytes bitfields = Join(
      {InfoHeader({3, 2, 16, DibBitFields, 0, 2}), Masks(0xF800, 0x07E0, 0x001F), Table(2, 4)});
  const Case cases[] = {
      {"core, no file header", Join({core8, Pixels(8)}), 12, 3, 256, 12 + 768, 8, 3, 2},
      {"core, file header", WithFileHeader(Join({core8, Pixels(8)}), 14 + 780), 26, 3, 256, 794, 8,
       3, 2},
      {"info, no file header", Join({info8, Pixels(8)}), 40, 4, 3, 52, 8, 3, 2},
      {"info, file header", WithFileHeader(Join({info8, Pixels(8)}), 66), 54, 4, 3, 66, 8, 3, 2},
      {"file header offset taken as it is", WithFileHeader(Join({info8, Pixels(20)}), 78), 54, 4, 3,
       78, 8, 3, 2},
      {"24 bits, empty table", Join({InfoHeader({3, 2, 24}), Pixels(24)}), 40, 4, 0, 40, 24, 3, 2},
      {"24 bits with a table", Join({InfoHeader({3, 2, 24, 0, 0, 2}), Table(2, 4), Pixels(24)}), 40,
       4, 2, 48, 24, 3, 2},
      {"bit fields: masks, then table", Join({bitfields, Pixels(16)}), 52, 4, 2, 60, 16, 3, 2},
      {"1 bit, 33 wide: 5 bytes padded to 8",
       Join({InfoHeader({33, 3, 1}), Table(2, 4), Pixels(24)}), 40, 4, 2, 48, 24, 33, 3},
      {"4 bits, 9 wide: 5 bytes padded to 8", Join({CoreHeader(9, 1, 4), Table(16, 3), Pixels(8)}),
       12, 3, 16, 60, 8, 9, 1},
      {"top-down", Join({InfoHeader({3, -2, 24}), Pixels(24)}), 40, 4, 0, 40, 24, 3, -2},
      {"core width 65535 stays positive", Join({CoreHeader(65535, 1, 24), Pixels(196608)}), 12, 3,
       0, 12, 196608, 65535, 1},
      {"run-length stream of its declared size",
       Join({InfoHeader({4, 2, 8, DibRle8, 6}), Table(256, 4), Pixels(6)}), 40, 4, 256, 1064, 6, 4,
       2},
  };
  for (const Case& c : cases) {
    DibLayout layout;
    ASSERT_EQ(ParseExact(c.file, &layout), DibStatus::Ok) << c.name;
    EXPECT_EQ(layout.colorTableOffset, c.colorTableOffset) << c.name;
    EXPECT_EQ(layout.colorEntrySize, c.colorEntrySize) << c.name;
    EXPECT_EQ(layout.colorCount, c.colorCount) << c.name;
    EXPECT_EQ(layout.pixelOffset, c.pixelOffset) << c.name;
    EXPECT_EQ(layout.pixelBytes, c.pixelBytes) << c.name;
    EXPECT_EQ(layout.header.width, c.width) << c.name;
    EXPECT_EQ(layout.header.height, c.height) << c.name;
    EXPECT_EQ(layout.outputBytes,
              static_cast<size_t>(c.width) * (c.height < 0 ? -c.height : c.height) * 3)
        << c.name;
  }
}

TEST(ParseDib, WorkingHeaderFromCoreHeaderWidensSizesAndColourEntries) {
  const Bytes file = Join({CoreHeader(40000, 2, 4), Table(16, 3), Pixels(2 * 20000)});
  DibLayout layout;
  ASSERT_EQ(ParseExact(file, &layout), DibStatus::Ok);
  ASSERT_EQ(DibWorkingInfoSize(layout), 40u + 16 * 4 + 4);
  Bytes block(DibWorkingInfoSize(layout), 0xEE);
  WriteDibWorkingInfo(layout, file.data(), block.data());

  DibInfoHeader h;
  std::memcpy(&h, block.data(), sizeof h);
  EXPECT_EQ(h.size, 40u);
  EXPECT_EQ(h.width, 40000);
  EXPECT_EQ(h.height, 2);
  EXPECT_EQ(h.planes, 1);
  EXPECT_EQ(h.bitCount, 4);
  EXPECT_EQ(h.compression, DibRgb);
  EXPECT_EQ(h.sizeImage, 40000u);  // two rows of 20000 bytes
  EXPECT_EQ(h.xPelsPerMeter, 0);
  EXPECT_EQ(h.clrUsed, 16u);
  EXPECT_EQ(h.clrImportant, 16u);
  for (int k = 0; k < 16; ++k) {
    const unsigned char* e = block.data() + 40 + 4 * k;
    EXPECT_EQ(e[0], k);
    EXPECT_EQ(e[1], k + 1);
    EXPECT_EQ(e[2], k + 2);
    EXPECT_EQ(e[3], 0) << "reserved byte of entry " << k;
  }
  EXPECT_EQ(Bytes(block.end() - 4, block.end()), Bytes(4, 0)) << "spare bytes";
}

TEST(ParseDib, WorkingHeaderFromInfoHeaderKeepsFieldsAndCarriesMasks) {
  const Bytes file = Join({InfoHeader({3, 2, 32, DibBitFields, 0, 0x10002, 7}),
                           Masks(0x00FF0000, 0x0000FF00, 0x000000FF), Table(2, 4), Pixels(24)});
  DibLayout layout;
  ASSERT_EQ(ParseExact(file, &layout), DibStatus::Ok);
  ASSERT_EQ(DibWorkingInfoSize(layout), 40u + 12 + 2 * 4 + 4);
  Bytes block(DibWorkingInfoSize(layout), 0xEE);
  WriteDibWorkingInfo(layout, file.data(), block.data());

  DibInfoHeader h;
  std::memcpy(&h, block.data(), sizeof h);
  EXPECT_EQ(h.compression, DibBitFields);
  EXPECT_EQ(h.xPelsPerMeter, 2835);
  EXPECT_EQ(h.yPelsPerMeter, 1417);
  EXPECT_EQ(h.sizeImage, 24u);
  // Only the two entries that are carried may be announced, whatever the high bits said.
  EXPECT_EQ(h.clrUsed, 2u);
  EXPECT_EQ(h.clrImportant, 7u);
  uint32_t masks[3];
  std::memcpy(masks, block.data() + 40, sizeof masks);
  EXPECT_EQ(masks[0], 0x00FF0000u);
  EXPECT_EQ(masks[1], 0x0000FF00u);
  EXPECT_EQ(masks[2], 0x000000FFu);
  EXPECT_EQ(Bytes(block.begin() + 52, block.begin() + 60), Join({Table(2, 4)}));
  EXPECT_EQ(layout.pixelOffset, 60u);
}

TEST(ParseDib, RefusesWhatItCannotReadSafely) {
  struct Case {
    const char* name;
    Bytes file;
    DibStatus status;
  };
  const Bytes info8 = Join({InfoHeader({3, 2, 8}), Table(256, 4)});
  const Bytes core8 = Join({CoreHeader(3, 2, 8), Table(256, 3)});
  const Bytes masksOnly =
      Join({InfoHeader({3, 2, 16, DibBitFields}), Masks(0xF800, 0x07E0, 0x001F)});
  Info rle{4, 2, 8, DibRle8, 6};
  Info rleNoSize = rle;
  rleNoSize.sizeImage = 0;
  Info rleTopDown = rle;
  rleTopDown.height = -2;
  Info rleHuge{65536, 65536, 8, DibRle8, 2};
  const Case cases[] = {
      {"empty", {}, DibStatus::Truncated},
      {"one byte", {40}, DibStatus::Truncated},
      {"file header only", Head(WithFileHeader(Join({info8, Pixels(8)}), 1078), 14),
       DibStatus::Truncated},
      {"file header and size field cut", Head(WithFileHeader(Join({info8, Pixels(8)}), 1078), 17),
       DibStatus::Truncated},
      {"header size cut", Bytes{40, 0, 0}, DibStatus::Truncated},
      {"108-byte header", Join({InfoHeader({3, 2, 24, 0, 0, 0, 0, 108}), Pixels(24)}),
       DibStatus::UnknownFormat},
      {"124-byte header",
       WithFileHeader(Join({InfoHeader({3, 2, 24, 0, 0, 0, 0, 124}), Pixels(24)}), 138),
       DibStatus::UnknownFormat},
      {"header size 0", Bytes(64, 0), DibStatus::UnknownFormat},
      {"info header cut", Cut(InfoHeader({3, 2, 24}), 1), DibStatus::Truncated},
      {"core header cut", Cut(CoreHeader(3, 2, 24), 1), DibStatus::Truncated},
      {"info header cut behind a file header", Cut(WithFileHeader(InfoHeader({3, 2, 24}), 54), 10),
       DibStatus::Truncated},
      {"info colour table cut", Cut(info8, 1), DibStatus::Truncated},
      {"core colour table cut", Cut(core8, 1), DibStatus::Truncated},
      {"colour table cut, pixel offset inside the file",
       WithFileHeader(Join({InfoHeader({3, 2, 8}), Table(10, 4)}), 54), DibStatus::Truncated},
      {"colours used beyond the file", Join({InfoHeader({3, 2, 24, 0, 0, 300}), Table(299, 4)}),
       DibStatus::Truncated},
      {"masks cut", Cut(masksOnly, 1), DibStatus::Truncated},
      {"info pixels cut", Cut(Join({info8, Pixels(8)}), 1), DibStatus::Truncated},
      {"core pixels cut", Cut(Join({core8, Pixels(8)}), 1), DibStatus::Truncated},
      {"24-bit last row's filler cut", Join({InfoHeader({3, 2, 24}), Pixels(21)}),
       DibStatus::Truncated},
      {"pixel offset past the end", WithFileHeader(Join({info8, Pixels(8)}), 1079),
       DibStatus::Truncated},
      {"pixel offset 4 GB", WithFileHeader(Join({info8, Pixels(8)}), 0xFFFFFFFF),
       DibStatus::Truncated},
      {"no pixels at all", Join({InfoHeader({3, 2, 24})}), DibStatus::Truncated},
      {"huge width and height", Join({InfoHeader({0x7FFFFFFF, 0x7FFFFFFF, 32}), Pixels(64)}),
       DibStatus::Truncated},
      {"huge top-down", Join({InfoHeader({0x7FFFFFFF, -0x7FFFFFFF, 32}), Pixels(64)}),
       DibStatus::Truncated},
      {"stream without a size", Join({InfoHeader(rleNoSize), Table(256, 4), Pixels(6)}),
       DibStatus::Truncated},
      {"stream longer than the file", Join({InfoHeader(rle), Table(256, 4), Pixels(5)}),
       DibStatus::Truncated},
      {"stream size 4 GB",
       Join({InfoHeader({4, 2, 8, DibRle8, 0xFFFFFFFF}), Table(256, 4), Pixels(6)}),
       DibStatus::Truncated},
      {"JPEG compression", Join({InfoHeader({3, 2, 24, 4}), Pixels(24)}), DibStatus::UnknownFormat},
      {"PNG compression", Join({InfoHeader({3, 2, 24, 5}), Pixels(24)}), DibStatus::UnknownFormat},
      {"width 0", Join({InfoHeader({0, 2, 24}), Pixels(24)}), DibStatus::Unsupported},
      {"negative width", Join({InfoHeader({-3, 2, 24}), Pixels(24)}), DibStatus::Unsupported},
      {"height 0", Join({InfoHeader({3, 0, 24}), Pixels(24)}), DibStatus::Unsupported},
      {"height -2^31", Join({InfoHeader({3, INT32_MIN, 24}), Pixels(24)}), DibStatus::Unsupported},
      {"core width 0", Join({CoreHeader(0, 2, 24), Pixels(24)}), DibStatus::Unsupported},
      {"7 bits", Join({InfoHeader({3, 2, 7}), Pixels(24)}), DibStatus::Unsupported},
      {"0 bits", Join({InfoHeader({3, 2, 0}), Pixels(24)}), DibStatus::Unsupported},
      {"core 2 bits", Join({CoreHeader(3, 2, 2), Pixels(24)}), DibStatus::Unsupported},
      {"8-bit stream at 4 bits", Join({InfoHeader({4, 2, 4, DibRle8, 6}), Table(16, 4), Pixels(6)}),
       DibStatus::Unsupported},
      {"4-bit stream at 8 bits",
       Join({InfoHeader({4, 2, 8, DibRle4, 6}), Table(256, 4), Pixels(6)}), DibStatus::Unsupported},
      {"bit fields at 24 bits", Join({InfoHeader({3, 2, 24, DibBitFields}), Pixels(64)}),
       DibStatus::Unsupported},
      {"top-down stream", Join({InfoHeader(rleTopDown), Table(256, 4), Pixels(6)}),
       DibStatus::Unsupported},
      {"stream of a 2^32-pixel picture", Join({InfoHeader(rleHuge), Table(256, 4), Bytes{0, 1}}),
       DibStatus::TooLarge},
      {"stream just over 2 GB of result",
       Join({InfoHeader({30000, 23861, 8, DibRle8, 2}), Table(256, 4), Bytes{0, 1}}),
       DibStatus::TooLarge},
  };
  for (const Case& c : cases) {
    DibLayout layout;
    EXPECT_EQ(ParseExact(c.file, &layout), c.status) << c.name;
  }

  DibLayout fits;
  EXPECT_EQ(
      ParseExact(Join({InfoHeader({30000, 23860, 8, DibRle8, 2}), Table(256, 4), Bytes{0, 1}}),
                 &fits),
      DibStatus::Ok)
      << "a result just under 2 GB";
  EXPECT_EQ(fits.rleTailBytes, 2u * 23860 + 4);
}

// A section of `rows` rows whose pixel (x, r) holds blue 10r+x, green 100+10r+x, red 200+10r+x
// and whose filler bytes are 0xEE.
Bytes Section(int width, int rows) {
  const size_t stride = BgrSectionStride(width);
  Bytes s(stride * rows, 0xEE);
  for (int r = 0; r < rows; ++r)
    for (int x = 0; x < width; ++x) {
      unsigned char* p = &s[r * stride + 3 * x];
      p[0] = static_cast<unsigned char>(10 * r + x);
      p[1] = static_cast<unsigned char>(100 + 10 * r + x);
      p[2] = static_cast<unsigned char>(200 + 10 * r + x);
    }
  return s;
}

Bytes Repack(const Bytes& section, int32_t width, int32_t height) {
  const size_t rows = static_cast<size_t>(height < 0 ? -height : height);
  std::unique_ptr<unsigned char[]> exactIn(new unsigned char[section.size()]);
  std::memcpy(exactIn.get(), section.data(), section.size());
  std::unique_ptr<unsigned char[]> exactOut(new unsigned char[width * rows * 3]);
  RepackBgrSection(exactIn.get(), width, height, exactOut.get());
  return Bytes(exactOut.get(), exactOut.get() + width * rows * 3);
}

TEST(RepackBgrSection, SwapsToRgbAndSkipsRowFiller) {
  // 3 wide: rows of 9 bytes in the result, 3 filler bytes skipped in each section row.
  const Bytes out = Repack(Section(3, 2), 3, 2);
  const Bytes expected = {200, 100, 0,  201, 101, 1,  202, 102, 2,
                          210, 110, 10, 211, 111, 11, 212, 112, 12};
  EXPECT_EQ(out, expected);

  const Bytes one = Repack(Section(1, 3), 1, 3);
  EXPECT_EQ(one, (Bytes{200, 100, 0, 210, 110, 10, 220, 120, 20}));
}

TEST(RepackBgrSection, TopDownSectionComesOutBottomRowFirst) {
  // A top-down section stores the picture's top row first; the result starts with its bottom row.
  const Bytes out = Repack(Section(3, 3), 3, -3);
  const Bytes expected = {220, 120, 20,  221, 121, 21,  222, 122, 22,  210, 110, 10,  211, 111,
                          11,  212, 112, 12,  200, 100, 0,   201, 101, 1,   202, 102, 2};
  EXPECT_EQ(out, expected);
}

}  // namespace
