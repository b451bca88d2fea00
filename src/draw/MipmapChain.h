#pragma once

#include <vector>

namespace velmorra::draw {

// One level of an 8-bit RGB texture, rows tightly packed.
struct RgbLevel {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;
};

// The levels a texture's mipmaps are made of, as GLU builds them: the image scaled (by box
// filtering) to the largest powers of two not above its sides, then halved, averaging each 2x2
// block, down to 1x1.
class MipmapChain {
  public:
    static std::vector<RgbLevel> build(int width, int height, const unsigned char* pixels,
                                       int maxSide);
    static RgbLevel scaled(const RgbLevel& level, int width, int height);
    static RgbLevel halved(const RgbLevel& level);
};

} // namespace velmorra::draw
