#include "content/CoverageMask.h"

#include <algorithm>

namespace velmorra::tools {

CoverageMask::CoverageMask(int width, int height)
    : width(width), height(height),
      values(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0.0f) {}

float CoverageMask::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return 0.0f;
    }
    return values[static_cast<std::size_t>(y) * width + x];
}

void CoverageMask::set(int x, int y, float value) {
    if (x >= 0 && y >= 0 && x < width && y < height) {
        values[static_cast<std::size_t>(y) * width + x] = value;
    }
}

void CoverageMask::raise(int x, int y, float value) {
    set(x, y, std::max(at(x, y), value));
}

CoverageMask CoverageMask::rotatedCounterClockwise() const {
    CoverageMask turned(height, width);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            turned.set(y, width - 1 - x, at(x, y));
        }
    }
    return turned;
}

CoverageMask CoverageMask::boxPass(int radius, bool horizontal) const {
    CoverageMask result(width, height);
    const float scale = 1.0f / static_cast<float>(2 * radius + 1);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            float sum = 0.0f;
            for (int k = -radius; k <= radius; ++k) {
                sum += horizontal ? at(x + k, y) : at(x, y + k);
            }
            result.set(x, y, sum * scale);
        }
    }
    return result;
}

CoverageMask CoverageMask::blurred(int radius) const {
    CoverageMask result = *this;
    for (int pass = 0; pass < 3; ++pass) {
        result = result.boxPass(radius, true).boxPass(radius, false);
    }
    return result;
}

CoverageMask CoverageMask::padded(int margin) const {
    CoverageMask result(width + 2 * margin, height + 2 * margin);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            result.set(x + margin, y + margin, at(x, y));
        }
    }
    return result;
}

float CoverageMask::largest() const {
    return values.empty() ? 0.0f : *std::max_element(values.begin(), values.end());
}

} // namespace velmorra::tools
