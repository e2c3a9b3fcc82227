// The scene's texture objects, made from the BMP files beside the program.
#include "textures.h"

#include <windows.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstring>

#include "scene_render.h"

unsigned int& floorTexture = demoGraphics.textures.floor;
unsigned int& wallTexture = demoGraphics.textures.wall;
unsigned int& glowTexture = demoGraphics.textures.glow;

namespace {

struct TextureSlot {
  const char* fileName;
  unsigned int SceneTextures::*name;
  GLint magFilter;
  GLint minFilter;
  bool mipmaps;
};

const TextureSlot sceneTextures[] = {
    {"wood.bmp", &SceneTextures::floor, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST, true},
    {"wood2.bmp", &SceneTextures::wall, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST, true},
    {"plasma.bmp", &SceneTextures::glow, GL_NEAREST, GL_NEAREST, false},
};

void Upload(const TextureSlot& slot, unsigned int& name, const RgbImage& image) {
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, slot.magFilter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, slot.minFilter);
  if (slot.mipmaps) {
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, image.width, image.height, GL_RGB, GL_UNSIGNED_BYTE,
                      image.pixels);
  } else {
    glTexImage2D(GL_TEXTURE_2D, 0, 3, image.width, image.height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 image.pixels);
  }
}

// The demo's pictures lie in the "texture" folder of the current directory.
RgbImage* ReadTextureFolderPicture(const char* fileName) {
  static const char folder[] = "texture/";
  char path[sizeof folder + 16];
  if (std::strlen(fileName) >= sizeof path - sizeof folder) return nullptr;
  std::memcpy(path, folder, sizeof folder - 1);
  std::strcpy(path + sizeof folder - 1, fileName);
  return LoadTextureImage(path);
}

}  // namespace

bool LoadSceneTextures(SceneTextures& names, TexturePictureReader read) {
  bool created = false;
  GLint savedAlignment = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &savedAlignment);
  // The reader's rows follow one another without gaps; at the default alignment of 4 every
  // picture whose width * 3 is not a multiple of 4 would be read askew and past its end.
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  for (const TextureSlot& slot : sceneTextures) {
    RgbImage* image = read(slot.fileName);
    if (!image) continue;
    created = true;
    Upload(slot, names.*slot.name, *image);
    FreeRgbImage(image);
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, savedAlignment);
  return created;
}

bool LoadSceneTextures() {
  return LoadSceneTextures(demoGraphics.textures, ReadTextureFolderPicture);
}
