#pragma once

#include "draw/Textures.h"

#include <map>

namespace velmorra::draw {

// The textures of the gles2 backend, made and filled on OpenGL ES 2 as OpenGL 1.1 would:
// RGB images, mipmaps built as GLU builds them, clamping to the edge. It remembers which
// textures are complete, since OpenGL 1.1 leaves fragments untextured where ES would sample
// black.
class TextureTable {
  public:
    unsigned int generate();
    void remove(unsigned int texture);
    void bind(unsigned int texture);
    unsigned int bound() const;

    void wrap(TextureWrap wrap);
    void magnification(TextureFilter filter);
    void minification(TextureFilter filter);
    void unpackAlignment(int bytes);
    void uploadRgb(int width, int height, const unsigned char* pixels);
    void uploadRgbMipmapped(int width, int height, const unsigned char* pixels);
    static int maxSize();

    // Whether the bound texture has its image and the mipmaps its filter needs.
    bool boundIsComplete() const;

  private:
    struct Completeness {
        bool uploaded = false;
        bool mipmapped = false;
        bool minifiesWithMipmaps = true;
    };

    std::map<unsigned int, Completeness> textures;
    unsigned int boundTexture = 0;
    int unpackBytes = 4;
};

} // namespace velmorra::draw
