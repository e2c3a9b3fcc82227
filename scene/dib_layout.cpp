#include "dib_layout.h"

#include <cstring>

namespace {

constexpr uint64_t MaxSectionBytes = 0x7FFFFFFF;  // the result's sizes are 32-bit signed values

uint16_t Read16(const unsigned char* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t Read32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// True when `length` bytes starting at `offset` lie inside a buffer of `size` bytes.
bool Fits(uint64_t offset, uint64_t length, size_t size) {
  return offset <= size && length <= size - offset;
}

uint64_t BgrStride64(int32_t width) {
  return width <= 0 ? 0 : (static_cast<uint64_t>(width) * 3 + 3) & ~static_cast<uint64_t>(3);
}

uint64_t RowCount(int32_t height) {
  return height < 0 ? static_cast<uint64_t>(-static_cast<int64_t>(height))
                    : static_cast<uint64_t>(height);
}

uint16_t CountForBits(uint16_t bits) {
  switch (bits) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
  }
}

// Only these combinations can be sized here; the platform refuses the others anyway.
bool BitsFitCompression(uint32_t compression, uint16_t bits) {
  switch (compression) {
    case DibRgb:
      return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case DibRle8: return bits == 8;
    case DibRle4: return bits == 4;
    case DibBitFields: return bits == 16 || bits == 32;
    default: return false;
  }
}

}  // namespace

uint16_t DibColorCount(const unsigned char* header, size_t available) {
  if (!header || available < 4) return 0;
  const uint32_t size = Read32(header);
  if (size == DibCoreHeaderSize && available >= DibCoreHeaderSize)
    return CountForBits(Read16(header + 10));
  if (size == DibInfoHeaderSize && available >= DibInfoHeaderSize) {
    const uint16_t used = static_cast<uint16_t>(Read32(header + 32) & 0xFFFF);
    return used != 0 ? used : CountForBits(Read16(header + 14));
  }
  return 0;
}

DibStatus ParseDib(const unsigned char* file, size_t fileSize, DibLayout* layout) {
  *layout = DibLayout{};
  if (!file) fileSize = 0;

  const bool hasFileHeader = fileSize >= 2 && file[0] == 'B' && file[1] == 'M';
  const size_t headerOffset = hasFileHeader ? DibFileHeaderSize : 0;
  if (!Fits(headerOffset, 4, fileSize)) return DibStatus::Truncated;
  const unsigned char* h = file + headerOffset;
  const uint32_t headerSize = Read32(h);
  if (headerSize != DibCoreHeaderSize && headerSize != DibInfoHeaderSize)
    return DibStatus::UnknownFormat;
  if (!Fits(headerOffset, headerSize, fileSize)) return DibStatus::Truncated;

  const uint16_t n = DibColorCount(h, headerSize);
  DibInfoHeader& w = layout->header;
  w.size = DibInfoHeaderSize;
  if (headerSize == DibCoreHeaderSize) {
    // Core sizes are unsigned 16-bit values: widened, never negative.
    w.width = Read16(h + 4);
    w.height = Read16(h + 6);
    w.planes = Read16(h + 8);
    w.bitCount = Read16(h + 10);
    w.compression = DibRgb;
    w.clrImportant = n;
    layout->colorEntrySize = 3;
  } else {
    w.width = static_cast<int32_t>(Read32(h + 4));
    w.height = static_cast<int32_t>(Read32(h + 8));
    w.planes = Read16(h + 12);
    w.bitCount = Read16(h + 14);
    w.compression = Read32(h + 16);
    w.sizeImage = Read32(h + 20);
    w.xPelsPerMeter = static_cast<int32_t>(Read32(h + 24));
    w.yPelsPerMeter = static_cast<int32_t>(Read32(h + 28));
    w.clrImportant = Read32(h + 36);
    layout->colorEntrySize = 4;
    if (w.compression > DibBitFields) return DibStatus::UnknownFormat;
  }
  // The platform sizes the colour table from colours-used (up to 256 entries): it must never
  // claim more entries than the working block carries, e.g. 0x10001 whose low 16 bits say 1.
  w.clrUsed = n;
  layout->colorCount = n;

  if (w.width <= 0 || w.height == 0 || w.height == INT32_MIN) return DibStatus::Unsupported;
  if (!BitsFitCompression(w.compression, w.bitCount)) return DibStatus::Unsupported;
  const bool rle = w.compression == DibRle8 || w.compression == DibRle4;
  // Run-length streams are defined bottom-up only.
  if (rle && w.height < 0) return DibStatus::Unsupported;
  const uint64_t rows = RowCount(w.height);

  uint64_t pos = headerOffset + headerSize;
  if (w.compression == DibBitFields) {
    if (!Fits(pos, sizeof layout->masks, fileSize)) return DibStatus::Truncated;
    for (int i = 0; i < 3; ++i) layout->masks[i] = Read32(file + pos + 4 * i);
    layout->hasMasks = true;
    pos += sizeof layout->masks;
  }
  layout->colorTableOffset = static_cast<size_t>(pos);
  const uint64_t tableBytes = static_cast<uint64_t>(n) * layout->colorEntrySize;
  if (!Fits(pos, tableBytes, fileSize)) return DibStatus::Truncated;
  const uint64_t pixelOffset = hasFileHeader ? Read32(file + 10) : pos + tableBytes;

  uint64_t pixelBytes = 0;
  if (rle) {
    // A stream's length is only known from the header: without it nothing bounds the decoder.
    if (w.sizeImage == 0) return DibStatus::Truncated;
    pixelBytes = w.sizeImage;
  } else {
    // At most 2^33 bytes a row times 2^31 rows: no 64-bit product can wrap.
    const uint64_t stride = (static_cast<uint64_t>(w.width) * w.bitCount + 31) / 32 * 4;
    pixelBytes = stride * rows;
  }
  if (!Fits(pixelOffset, pixelBytes, fileSize)) return DibStatus::Truncated;

  const uint64_t sectionBytes = BgrStride64(w.width) * rows;
  if (sectionBytes > MaxSectionBytes) return DibStatus::TooLarge;

  // The working header never claims more pixel bytes than were found in the file.
  w.sizeImage = static_cast<uint32_t>(pixelBytes);
  layout->pixelOffset = static_cast<size_t>(pixelOffset);
  layout->pixelBytes = static_cast<size_t>(pixelBytes);
  layout->outputBytes = static_cast<size_t>(static_cast<uint64_t>(w.width) * rows * 3);
  // Zero pairs end a line each: a decoder that runs past a broken stream meets only line ends
  // and stops after the last row instead of reading on.
  layout->rleTailBytes = rle ? static_cast<size_t>(2 * rows + 4) : 0;
  return DibStatus::Ok;
}

size_t DibWorkingInfoSize(const DibLayout& layout) {
  return DibInfoHeaderSize + (layout.hasMasks ? sizeof layout.masks : 0) + 4u * layout.colorCount +
         4;
}

void WriteDibWorkingInfo(const DibLayout& layout, const unsigned char* file, unsigned char* out) {
  std::memcpy(out, &layout.header, DibInfoHeaderSize);
  unsigned char* p = out + DibInfoHeaderSize;
  if (layout.hasMasks) {
    std::memcpy(p, layout.masks, sizeof layout.masks);
    p += sizeof layout.masks;
  }
  const unsigned char* entry = file + layout.colorTableOffset;
  for (uint16_t i = 0; i < layout.colorCount; ++i, entry += layout.colorEntrySize, p += 4) {
    p[0] = entry[0];
    p[1] = entry[1];
    p[2] = entry[2];
    p[3] = layout.colorEntrySize == 4 ? entry[3] : 0;
  }
  std::memset(p, 0, 4);
}

DibInfoHeader BgrSectionHeader(int32_t width, int32_t height) {
  DibInfoHeader header{};
  header.size = DibInfoHeaderSize;
  header.width = width;
  header.height = height;
  header.planes = 1;
  header.bitCount = 24;
  header.compression = DibRgb;
  header.sizeImage = static_cast<uint32_t>(BgrStride64(width) * RowCount(height));
  return header;
}

size_t BgrSectionStride(int32_t width) {
  return static_cast<size_t>(BgrStride64(width));
}

void RepackBgrSection(const unsigned char* section, int32_t width, int32_t height,
                      unsigned char* rgb) {
  if (width <= 0 || height == 0 || height == INT32_MIN) return;
  const size_t stride = BgrSectionStride(width);
  const size_t rows = static_cast<size_t>(RowCount(height));
  for (size_t r = 0; r < rows; ++r) {
    const size_t sourceRow = height < 0 ? rows - 1 - r : r;
    const unsigned char* src = section + sourceRow * stride;
    for (int32_t x = 0; x < width; ++x, src += 3, rgb += 3) {
      rgb[0] = src[2];
      rgb[1] = src[1];
      rgb[2] = src[0];
    }
  }
}
