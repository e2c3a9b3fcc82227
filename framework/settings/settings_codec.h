#pragma once
// How the user's settings look as registry data, apart from the registry calls themselves.
#include <cstddef>
#include <cstdint>

namespace morvane {

// Corner codes, as in the public header: 0 Default "-", 1 Now "Y", 2 Never "N".
uint8_t CornerCodeFromChar(char c);
char CornerCharFromCode(uint8_t code);

// The four corner codes from the first four bytes of a stored text (a missing or any other
// character is code 0), and the four characters plus a zero to store.
void DecodeCornerText(const char text[4], uint8_t corners[4]);
void EncodeCornerText(const uint8_t corners[4], char text[5]);

// A 32-bit setting from stored binary data of size bytes, little-endian; missing bytes are 0.
// Callers pass at most 4 bytes.
uint32_t DecodeSettingBytes(const unsigned char* data, size_t size);

// A 32-bit setting stored as text: the number it spells ("%i" rules). Reads at most size bytes
// even without a terminating zero. False when the text holds no number.
bool DecodeSettingText(const char* text, size_t size, uint32_t* value);

// The index clamps: a stored value above max (compared unsigned) becomes max.
uint32_t ClampSettingIndex(uint32_t value, uint32_t max);

}  // namespace morvane
