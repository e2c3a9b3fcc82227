#pragma once
// The scene's three texture objects and the BMP reader that feeds them.
#include <cstddef>
#include <cstdint>

struct RgbImage {
  int32_t width;
  int32_t height;
  unsigned char* pixels;  // width * height * 3 bytes, red-green-blue, bottom row first, no row gaps
};

// The scene's GL texture names in one GL context; 0 while a picture did not load.
struct SceneTextures {
  unsigned int floor = 0;
  unsigned int wall = 0;
  unsigned int glow = 0;
};

// Reads one of the pictures by its file name ("wood.bmp", "wood2.bmp", "plasma.bmp"); none when
// it cannot be had.
using TexturePictureReader = RgbImage* (*)(const char* fileName);

// Makes the three texture objects of the current GL context from the pictures the reader gives.
// True when at least one texture was created.
bool LoadSceneTextures(SceneTextures& names, TexturePictureReader read);

// The demo's texture names (those of its one GL context).
extern unsigned int& floorTexture;
extern unsigned int& wallTexture;
extern unsigned int& glowTexture;

// Loads "texture/wood.bmp", "texture/wood2.bmp" and "texture/plasma.bmp" from the current folder
// into the demo's texture objects. Needs a current GL context. True when at least one texture was
// created.
bool LoadSceneTextures();

// Silently none when the file cannot be opened; otherwise ReadDibFile.
RgbImage* LoadTextureImage(const char* path);

// Reads a Windows BMP file into packed 24-bit RGB. Reports every failure in a message box
// (caption "Error") and returns none.
RgbImage* ReadDibFile(const char* path);

// Reads a BMP file image held in memory (a resource, say) into packed 24-bit RGB, with the same
// checks as ReadDibFile but silently: none when the bytes are no bitmap it can read.
RgbImage* ReadDibImage(const unsigned char* bytes, size_t size);

// Releases the pixel block and then the record; accepts none.
void FreeRgbImage(RgbImage* image);
