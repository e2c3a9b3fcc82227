// Fuzzes the BMP layout reading with any bytes as a file image. The input is copied into a block
// of exactly its size, so that AddressSanitizer sees every read beyond the file. Whatever the
// reader accepts must lie inside the file, and the working block and the repacking must stay in
// their buffers.
#include "dib_layout.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

namespace {

void Require(bool rule) {
  if (!rule) __builtin_trap();
}

bool Inside(size_t offset, size_t length, size_t size) {
  return offset <= size && length <= size - offset;
}

void CheckAccepted(const DibLayout& layout, const unsigned char* file, size_t size) {
  const DibInfoHeader& h = layout.header;
  Require(h.size == DibInfoHeaderSize && h.width > 0 && h.height != 0);
  Require(Inside(layout.pixelOffset, layout.pixelBytes, size));
  Require(Inside(layout.colorTableOffset, size_t{layout.colorCount} * layout.colorEntrySize, size));
  Require(h.clrUsed == layout.colorCount && h.sizeImage == layout.pixelBytes);
  auto info = std::make_unique<unsigned char[]>(DibWorkingInfoSize(layout));
  WriteDibWorkingInfo(layout, file, info.get());

  // Repacking a section of the picture's size: only small pictures, to keep each run short.
  const uint64_t rows = h.height < 0 ? -static_cast<int64_t>(h.height) : h.height;
  if (uint64_t{static_cast<uint32_t>(h.width)} * rows > 4096) return;
  Require(layout.outputBytes == static_cast<size_t>(h.width) * rows * 3);
  const size_t sectionBytes = BgrSectionStride(h.width) * rows;
  auto section = std::make_unique<unsigned char[]>(sectionBytes);
  std::memset(section.get(), 0x5A, sectionBytes);
  auto rgb = std::make_unique<unsigned char[]>(layout.outputBytes);
  RepackBgrSection(section.get(), h.width, h.height, rgb.get());
  Require(rgb[0] == 0x5A && rgb[layout.outputBytes - 1] == 0x5A);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto file = std::make_unique<unsigned char[]>(size ? size : 1);
  if (size) std::memcpy(file.get(), data, size);
  DibColorCount(file.get(), size);
  DibLayout layout;
  if (ParseDib(size ? file.get() : nullptr, size, &layout) == DibStatus::Ok) {
    CheckAccepted(layout, file.get(), size);
  }
  return 0;
}
