#pragma once
// Building BMP file images byte by byte, for the reader's tests.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace bmp {

using Bytes = std::vector<unsigned char>;

inline void Put16(Bytes& b, uint32_t v) {
  b.push_back(static_cast<unsigned char>(v));
  b.push_back(static_cast<unsigned char>(v >> 8));
}

inline void Put32(Bytes& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

inline Bytes CoreHeader(uint16_t width, uint16_t height, uint16_t bits) {
  Bytes b;
  Put32(b, 12);
  Put16(b, width);
  Put16(b, height);
  Put16(b, 1);
  Put16(b, bits);
  return b;
}

struct Info {
  int32_t width = 3;
  int32_t height = 2;
  uint16_t bits = 24;
  uint32_t compression = 0;
  uint32_t sizeImage = 0;
  uint32_t clrUsed = 0;
  uint32_t clrImportant = 0;
  uint32_t size = 40;  // other sizes are zero-padded to their length
};

inline Bytes InfoHeader(const Info& i) {
  Bytes b;
  Put32(b, i.size);
  Put32(b, static_cast<uint32_t>(i.width));
  Put32(b, static_cast<uint32_t>(i.height));
  Put16(b, 1);
  Put16(b, i.bits);
  Put32(b, i.compression);
  Put32(b, i.sizeImage);
  Put32(b, 2835);
  Put32(b, 1417);
  Put32(b, i.clrUsed);
  Put32(b, i.clrImportant);
  b.resize(i.size, 0);
  return b;
}

inline Bytes Masks(uint32_t red, uint32_t green, uint32_t blue) {
  Bytes b;
  Put32(b, red);
  Put32(b, green);
  Put32(b, blue);
  return b;
}

inline Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// The 14-byte file header with the given pixel-data offset, in front of `rest`.
inline Bytes WithFileHeader(const Bytes& rest, uint32_t pixelOffset) {
  Bytes b{'B', 'M'};
  Put32(b, static_cast<uint32_t>(14 + rest.size()));
  Put32(b, 0);
  Put32(b, pixelOffset);
  b.insert(b.end(), rest.begin(), rest.end());
  return b;
}

inline Bytes Cut(Bytes b, size_t shorter) {
  b.resize(b.size() - shorter);
  return b;
}

inline Bytes Head(Bytes b, size_t length) {
  b.resize(length);
  return b;
}

}  // namespace bmp
