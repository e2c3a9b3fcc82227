#pragma once
// Whether a file's first bytes are those of a Windows program: the MS-DOS header's "MZ" and the
// place of the PE header, which must lie within the file. No Win32 here.
#include <cstddef>
#include <cstdint>
#include <string>

namespace carousel {

// The bytes of the MS-DOS header that the check reads (e_lfanew is its last field).
constexpr size_t DosHeaderSize = 64;
// The PE signature and the COFF file header after it: what "a PE header" needs at the least.
constexpr uint32_t PeHeaderSize = 4 + 20;

// From the file's first headSize bytes and its size: true with the PE signature's offset, or
// false with why (may be null) saying what is wrong.
bool FindPeHeader(const unsigned char* head, size_t headSize, uint64_t fileSize, uint32_t* peOffset,
                  std::string* why);

// The four bytes at the PE header's offset are "PE\0\0".
bool IsPeSignature(const unsigned char* bytes, size_t size);

}  // namespace carousel
