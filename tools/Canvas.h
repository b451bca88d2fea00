#pragma once

#include "Rgb.h"

#include <vector>

namespace velmorra::tools {

// A picture in floating-point colour that the content generators paint on.
// Row 0 is the top row, as one looks at the picture; writers flip as their
// format needs.
class Canvas {
  public:
    Canvas(int width, int height, Rgb fill = {});

    int getWidth() const { return width; }
    int getHeight() const { return height; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }

    Rgb at(int x, int y) const { return pixels[index(x, y)]; }
    void set(int x, int y, Rgb colour) { pixels[index(x, y)] = colour; }
    // Both ignore coordinates outside the picture, so shapes may overhang.
    void add(int x, int y, Rgb colour);
    void blend(int x, int y, Rgb colour, float coverage);

    // Bilinear lookup with texture coordinates: s from left to right, t from
    // the bottom row (0) to the top row (1), clamped at the edges.
    Rgb sample(double s, double t) const;

    // Copies `source` with its top-left corner at (left, top), clipped.
    void paste(const Canvas& source, int left, int top);

  private:
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
               static_cast<std::size_t>(x);
    }

    int width;
    int height;
    std::vector<Rgb> pixels;
};

} // namespace velmorra::tools
