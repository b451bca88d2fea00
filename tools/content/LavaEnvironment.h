#pragma once

#include "Rgb.h"
#include "Vec3.h"
#include "content/GradientNoise.h"

namespace velmorra::tools {

// A cavern over a lake of molten rock: below the horizon a dark crust split by
// glowing veins and pools, above it smoke lit red from beneath and drifting embers.
class LavaEnvironment {
  public:
    LavaEnvironment();

    Rgb look(const Vec3& direction) const;

  private:
    Rgb lake(const Vec3& direction) const;
    Rgb smoke(const Vec3& direction) const;
    Rgb embers(const Vec3& direction) const;

    GradientNoise crust;
    GradientNoise pools;
    GradientNoise fumes;
};

} // namespace velmorra::tools
