#include "draw/MipmapChain.h"

#include <algorithm>
#include <cstddef>

namespace velmorra::draw {

namespace {

int powerOfTwoAtMost(int side, int maxSide) {
    int power = 1;
    while (power * 2 <= side && power * 2 <= maxSide) {
        power *= 2;
    }
    return power;
}

std::size_t offset(int x, int y, int width) {
    return (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
            static_cast<std::size_t>(x)) *
           3;
}

} // namespace

std::vector<RgbLevel> MipmapChain::build(int width, int height, const unsigned char* pixels,
                                         int maxSide) {
    std::vector<RgbLevel> levels;
    if (width <= 0 || height <= 0 || pixels == nullptr) {
        return levels;
    }
    RgbLevel source{width, height,
                    std::vector<unsigned char>(pixels, pixels + offset(0, height, width))};
    levels.push_back(scaled(source, powerOfTwoAtMost(width, std::max(maxSide, 1)),
                            powerOfTwoAtMost(height, std::max(maxSide, 1))));
    while (levels.back().width > 1 || levels.back().height > 1) {
        levels.push_back(halved(levels.back()));
    }
    return levels;
}

// Each target texel averages the source texels its area covers, weighted by the overlap.
RgbLevel MipmapChain::scaled(const RgbLevel& level, int width, int height) {
    if (width == level.width && height == level.height) {
        return level;
    }
    RgbLevel result{width, height, std::vector<unsigned char>(offset(0, height, width))};
    const double scaleX = static_cast<double>(level.width) / width;
    const double scaleY = static_cast<double>(level.height) / height;
    for (int y = 0; y < height; ++y) {
        const double top = y * scaleY, bottom = top + scaleY;
        for (int x = 0; x < width; ++x) {
            const double left = x * scaleX, right = left + scaleX;
            double sum[3] = {}, area = 0.0;
            for (int sy = static_cast<int>(top); sy < level.height && sy < bottom; ++sy) {
                const double h = std::min<double>(sy + 1, bottom) - std::max<double>(sy, top);
                for (int sx = static_cast<int>(left); sx < level.width && sx < right; ++sx) {
                    const double w =
                        (std::min<double>(sx + 1, right) - std::max<double>(sx, left)) * h;
                    for (int c = 0; c < 3; ++c) {
                        sum[c] +=
                            w *
                            level.pixels[offset(sx, sy, level.width) + static_cast<std::size_t>(c)];
                    }
                    area += w;
                }
            }
            for (int c = 0; c < 3; ++c) {
                result.pixels[offset(x, y, width) + static_cast<std::size_t>(c)] =
                    static_cast<unsigned char>(area > 0.0 ? sum[c] / area + 0.5 : 0.0);
            }
        }
    }
    return result;
}

// A side of 1 stays 1: the two texels along the other side are averaged.
RgbLevel MipmapChain::halved(const RgbLevel& level) {
    const int width = std::max(level.width / 2, 1);
    const int height = std::max(level.height / 2, 1);
    RgbLevel result{width, height, std::vector<unsigned char>(offset(0, height, width))};
    for (int y = 0; y < height; ++y) {
        const int y0 = std::min(y * 2, level.height - 1),
                  y1 = std::min(y * 2 + 1, level.height - 1);
        for (int x = 0; x < width; ++x) {
            const int x0 = std::min(x * 2, level.width - 1),
                      x1 = std::min(x * 2 + 1, level.width - 1);
            for (std::size_t c = 0; c < 3; ++c) {
                const int sum = level.pixels[offset(x0, y0, level.width) + c] +
                                level.pixels[offset(x1, y0, level.width) + c] +
                                level.pixels[offset(x0, y1, level.width) + c] +
                                level.pixels[offset(x1, y1, level.width) + c];
                result.pixels[offset(x, y, width) + c] = static_cast<unsigned char>((sum + 2) / 4);
            }
        }
    }
    return result;
}

} // namespace velmorra::draw
