// The scene's texture objects, made from the BMP files beside the program.
#include "textures.h"

#include <windows.h>

#include <GL/gl.h>
#include <GL/glu.h>

unsigned int floorTexture = 0;
unsigned int wallTexture = 0;
unsigned int glowTexture = 0;

namespace {

struct TextureSlot {
    const char* path;
    unsigned int* name;
    GLint magFilter;
    GLint minFilter;
    bool mipmaps;
};

const TextureSlot sceneTextures[] = {
    {"texture/wood.bmp", &floorTexture, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST, true},
    {"texture/wood2.bmp", &wallTexture, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST, true},
    {"texture/plasma.bmp", &glowTexture, GL_NEAREST, GL_NEAREST, false},
};

void Upload(const TextureSlot& slot, const RgbImage& image) {
    glGenTextures(1, slot.name);
    glBindTexture(GL_TEXTURE_2D, *slot.name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, slot.magFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, slot.minFilter);
    if (slot.mipmaps) {
        gluBuild2DMipmaps(GL_TEXTURE_2D, 3, image.width, image.height, GL_RGB, GL_UNSIGNED_BYTE, image.pixels);
    } else {
        glTexImage2D(GL_TEXTURE_2D, 0, 3, image.width, image.height, 0, GL_RGB, GL_UNSIGNED_BYTE, image.pixels);
    }
}

}  // namespace

bool LoadSceneTextures() {
    bool created = false;
    GLint savedAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &savedAlignment);
    // The reader's rows follow one another without gaps; at the default alignment of 4 every
    // picture whose width * 3 is not a multiple of 4 would be read askew and past its end.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (const TextureSlot& slot : sceneTextures) {
        RgbImage* image = LoadTextureImage(slot.path);
        if (!image) continue;
        created = true;
        Upload(slot, *image);
        FreeRgbImage(image);
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, savedAlignment);
    return created;
}
