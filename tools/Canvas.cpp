#include "Canvas.h"

#include <algorithm>
#include <cmath>

namespace velmorra::tools {

Canvas::Canvas(int width, int height, Rgb fill)
    : width(width), height(height),
      pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

void Canvas::add(int x, int y, Rgb colour) {
    if (contains(x, y)) {
        pixels[index(x, y)] += colour;
    }
}

void Canvas::blend(int x, int y, Rgb colour, float coverage) {
    if (contains(x, y)) {
        Rgb& pixel = pixels[index(x, y)];
        pixel = Rgb::mix(pixel, colour, coverage);
    }
}

Rgb Canvas::sample(double s, double t) const {
    const double x = std::clamp(s * width - 0.5, 0.0, width - 1.0);
    const double y = std::clamp((1.0 - t) * height - 0.5, 0.0, height - 1.0);
    const int x0 = static_cast<int>(x);
    const int y0 = static_cast<int>(y);
    const int x1 = std::min(x0 + 1, width - 1);
    const int y1 = std::min(y0 + 1, height - 1);
    const auto fx = static_cast<float>(x - x0);
    const auto fy = static_cast<float>(y - y0);
    const Rgb top = Rgb::mix(at(x0, y0), at(x1, y0), fx);
    const Rgb bottom = Rgb::mix(at(x0, y1), at(x1, y1), fx);
    return Rgb::mix(top, bottom, fy);
}

void Canvas::paste(const Canvas& source, int left, int top) {
    for (int y = 0; y < source.getHeight(); ++y) {
        for (int x = 0; x < source.getWidth(); ++x) {
            if (contains(left + x, top + y)) {
                set(left + x, top + y, source.at(x, y));
            }
        }
    }
}

} // namespace velmorra::tools
