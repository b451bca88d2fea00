#pragma once

#include <vector>

namespace velmorra::tools {

// Coverage values from 0 to 1 on a grid, row 0 at the top: rendered lettering
// and the like, before it is coloured and laid onto a canvas.
class CoverageMask {
  public:
    CoverageMask() = default;
    CoverageMask(int width, int height);

    int getWidth() const { return width; }
    int getHeight() const { return height; }
    bool isEmpty() const { return width == 0 || height == 0; }

    float at(int x, int y) const;
    void set(int x, int y, float value);
    void raise(int x, int y, float value);

    // The same mask turned a quarter counter-clockwise (its right edge becomes its top).
    CoverageMask rotatedCounterClockwise() const;
    // A soft halo: the mask blurred by a box filter run three times (close to a Gaussian).
    CoverageMask blurred(int radius) const;
    // The mask grown by `margin` empty pixels on every side.
    CoverageMask padded(int margin) const;
    float largest() const;

  private:
    CoverageMask boxPass(int radius, bool horizontal) const;

    int width = 0;
    int height = 0;
    std::vector<float> values;
};

} // namespace velmorra::tools
