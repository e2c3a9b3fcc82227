#include "pe_header.h"

namespace carousel {

namespace {

void Say(std::string* why, const char* text) {
  if (why) *why = text;
}

}  // namespace

bool FindPeHeader(const unsigned char* head, size_t headSize, uint64_t fileSize, uint32_t* peOffset,
                  std::string* why) {
  if (!head || headSize < DosHeaderSize || fileSize < DosHeaderSize) {
    Say(why, "too short for a program");
    return false;
  }
  if (head[0] != 'M' || head[1] != 'Z') {
    Say(why, "not a program (no MZ header)");
    return false;
  }
  const uint32_t offset = static_cast<uint32_t>(head[60]) | static_cast<uint32_t>(head[61]) << 8 |
                          static_cast<uint32_t>(head[62]) << 16 |
                          static_cast<uint32_t>(head[63]) << 24;
  if (static_cast<uint64_t>(offset) + PeHeaderSize > fileSize) {
    Say(why, "not a Windows program (its PE header would lie beyond the file)");
    return false;
  }
  if (peOffset) *peOffset = offset;
  return true;
}

bool IsPeSignature(const unsigned char* bytes, size_t size) {
  return bytes && size >= 4 && bytes[0] == 'P' && bytes[1] == 'E' && bytes[2] == 0 && bytes[3] == 0;
}

}  // namespace carousel
