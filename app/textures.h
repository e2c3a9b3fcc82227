#pragma once
// The scene's three texture objects and the BMP reader that feeds them.
#include <cstdint>

struct RgbImage {
    int32_t width;
    int32_t height;
    unsigned char* pixels;  // width * height * 3 bytes, red-green-blue, bottom row first, no row gaps
};

// GL texture names; 0 while a file did not load.
extern unsigned int floorTexture;
extern unsigned int wallTexture;
extern unsigned int glowTexture;

// Loads "texture/wood.bmp", "texture/wood2.bmp" and "texture/plasma.bmp" from the current folder
// into texture objects. Needs a current GL context. True when at least one texture was created.
bool LoadSceneTextures();

// Silently none when the file cannot be opened; otherwise ReadDibFile.
RgbImage* LoadTextureImage(const char* path);

// Reads a Windows BMP file into packed 24-bit RGB. Reports every failure in a message box
// (caption "Error") and returns none.
RgbImage* ReadDibFile(const char* path);

// Releases the pixel block and then the record; accepts none.
void FreeRgbImage(RgbImage* image);
