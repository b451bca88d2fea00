#include "draw/TextureTable.h"

#include "draw/Gles2Names.h"
#include "draw/MipmapChain.h"

#include <GLES2/gl2.h>

#include <vector>

namespace velmorra::draw {

unsigned int TextureTable::generate() {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    return texture;
}

void TextureTable::remove(unsigned int texture) {
    if (texture == 0) {
        return;
    }
    const GLuint name = texture;
    glDeleteTextures(1, &name);
    textures.erase(texture);
    if (boundTexture == texture) {
        boundTexture = 0;
    }
}

void TextureTable::bind(unsigned int texture) {
    boundTexture = texture;
    glBindTexture(GL_TEXTURE_2D, texture);
}

unsigned int TextureTable::bound() const {
    return boundTexture;
}

void TextureTable::wrap(TextureWrap wrap) {
    const GLint mode = wrap == TextureWrap::clamp ? GL_CLAMP_TO_EDGE : GL_REPEAT;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, mode);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, mode);
}

void TextureTable::magnification(TextureFilter filter) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, esName(filter));
}

void TextureTable::minification(TextureFilter filter) {
    textures[boundTexture].minifiesWithMipmaps = filter == TextureFilter::linearMipmapNearest;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, esName(filter));
}

void TextureTable::unpackAlignment(int bytes) {
    unpackBytes = bytes;
    glPixelStorei(GL_UNPACK_ALIGNMENT, bytes);
}

void TextureTable::uploadRgb(int width, int height, const unsigned char* pixels) {
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    textures[boundTexture] = {true, false, textures[boundTexture].minifiesWithMipmaps};
}

void TextureTable::uploadRgbMipmapped(int width, int height, const unsigned char* pixels) {
    const std::vector<RgbLevel> levels = MipmapChain::build(width, height, pixels, maxSize());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (std::size_t level = 0; level < levels.size(); ++level) {
        const RgbLevel& each = levels[level];
        glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), GL_RGB, each.width, each.height, 0,
                     GL_RGB, GL_UNSIGNED_BYTE, each.pixels.data());
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, unpackBytes);
    textures[boundTexture] = {!levels.empty(), true, textures[boundTexture].minifiesWithMipmaps};
}

int TextureTable::maxSize() {
    GLint side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
    return side;
}

bool TextureTable::boundIsComplete() const {
    const auto found = textures.find(boundTexture);
    if (found == textures.end() || !found->second.uploaded) {
        return false;
    }
    return found->second.mipmapped || !found->second.minifiesWithMipmaps;
}

} // namespace velmorra::draw
