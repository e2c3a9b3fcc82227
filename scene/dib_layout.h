#pragma once
// Reading the layout of a Windows device-independent bitmap held in memory, and repacking the
// 24-bit picture that the platform's conversion produces. No Win32 here: every size and offset
// the file claims is checked against the bytes that are really there.
#include <cstddef>
#include <cstdint>

// The 40-byte info header, laid out like the platform's BITMAPINFOHEADER so a block of this
// header, masks and colour entries can be handed to the platform's conversion as it is.
struct DibInfoHeader {
  uint32_t size;
  int32_t width;
  int32_t height;
  uint16_t planes;
  uint16_t bitCount;
  uint32_t compression;
  uint32_t sizeImage;
  int32_t xPelsPerMeter;
  int32_t yPelsPerMeter;
  uint32_t clrUsed;
  uint32_t clrImportant;
};
static_assert(sizeof(DibInfoHeader) == 40, "must match the platform's 40-byte info header");

constexpr size_t DibFileHeaderSize = 14;
constexpr size_t DibCoreHeaderSize = 12;
constexpr size_t DibInfoHeaderSize = 40;

constexpr uint32_t DibRgb = 0;
constexpr uint32_t DibRle8 = 1;
constexpr uint32_t DibRle4 = 2;
constexpr uint32_t DibBitFields = 3;

enum class DibStatus {
  Ok,
  UnknownFormat,  // header size other than 12 or 40, or a compression we do not know
  Truncated,      // the file ends before its headers, masks, colour table or pixel data do
  Unsupported,    // no picture: zero or negative width, zero height, or bits that do not fit the
                  // compression
  TooLarge,       // the 24-bit picture would not fit in memory at all
};

// Where everything lies in a file image, and the working header for the conversion.
struct DibLayout {
  DibInfoHeader header;  // always the 40-byte form; image size and colours used filled in
  bool hasMasks;         // three 32-bit colour masks follow the header (bit fields)
  uint32_t masks[3];
  uint16_t colorCount;      // n, the entries carried in the working colour table
  size_t colorTableOffset;  // in the file
  size_t colorEntrySize;    // 3 for a core header, 4 for an info header
  size_t pixelOffset;       // in the file
  size_t pixelBytes;        // source bytes the conversion reads, all inside the file
  size_t rleTailBytes;      // zero bytes to append behind a copied RLE stream (0: no copy needed)
  size_t outputBytes;       // width * |height| * 3, the packed RGB result
};

// Colour-table length: for a 12-byte header from the bits at offset 10; for a 40-byte header the
// low 16 bits of colours-used when not zero, else from the bits at offset 14. Bits 1, 4 and 8 give
// 2, 16 and 256, anything else 0. Reads nothing beyond `available` bytes (then 0).
uint16_t DibColorCount(const unsigned char* header, size_t available);

// Parses a whole file image (optional 14-byte file header, then the bitmap header).
DibStatus ParseDib(const unsigned char* file, size_t fileSize, DibLayout* layout);

// The working block for the conversion: header, masks, colour entries and 4 spare bytes.
size_t DibWorkingInfoSize(const DibLayout& layout);
void WriteDibWorkingInfo(const DibLayout& layout, const unsigned char* file, unsigned char* out);

// The 24-bit target with the source's width and height (a negative height stays top-down).
DibInfoHeader BgrSectionHeader(int32_t width, int32_t height);

// Bytes per row of a 24-bit section: width * 3 rounded up to a multiple of 4.
size_t BgrSectionStride(int32_t width);

// Repacks the section (blue-green-red rows on 4-byte boundaries) into red-green-blue rows without
// gaps, bottom row first. A section with negative height stores its top row first and is flipped.
void RepackBgrSection(const unsigned char* section, int32_t width, int32_t height,
                      unsigned char* rgb);
