#include "draw/Textures.h"

#include "draw/GlNames.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace velmorra::draw {

unsigned int generateTexture() {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    return texture;
}

void deleteTexture(unsigned int texture) {
    const GLuint name = texture;
    glDeleteTextures(1, &name);
}

void bindTexture(unsigned int texture) {
    glBindTexture(GL_TEXTURE_2D, texture);
}

void textureWrap(TextureWrap wrap) {
    const GLint mode = wrap == TextureWrap::clamp ? GL_CLAMP : GL_REPEAT;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, mode);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, mode);
}

void magnificationFilter(TextureFilter filter) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, glName(filter));
}

void minificationFilter(TextureFilter filter) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, glName(filter));
}

void unpackAlignment(int bytes) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, bytes);
}

void uploadRgb(int width, int height, const unsigned char* pixels) {
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels);
}

void uploadRgbMipmapped(int width, int height, const unsigned char* pixels) {
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB8, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels);
}

int maxTextureSize() {
    GLint side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
    return side;
}

void textureMode(TextureMode mode) {
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE,
              mode == TextureMode::decal ? GL_DECAL : GL_MODULATE);
}

void sphereMapTexGen() {
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
}

} // namespace velmorra::draw
