#pragma once

#include "Canvas.h"
#include "content/GradientNoise.h"

#include <cstdint>

namespace velmorra::tools {

// The demo's night: a dark gradient with faint violet and teal nebulae and
// scattered stars, a few with a soft glow.
class SpaceBackdrop {
  public:
    explicit SpaceBackdrop(std::uint64_t seed);

    void paint(Canvas& canvas, int starCount) const;

  private:
    void paintNebula(Canvas& canvas) const;
    void paintStars(Canvas& canvas, int starCount) const;

    std::uint64_t seed;
    GradientNoise clouds;
    GradientNoise tint;
};

} // namespace velmorra::tools
