#pragma once

#include "Rgb.h"
#include "Vec3.h"
#include "content/GradientNoise.h"

namespace velmorra::tools {

// A photographer's studio for the chrome liquid: a tiled floor running to a
// sharp horizon, grey walls fading into a dark ceiling, and bright soft-box
// panels whose reflections give chrome its contrast.
class StudioEnvironment {
  public:
    StudioEnvironment();

    Rgb look(const Vec3& direction) const;

  private:
    Rgb floor(const Vec3& direction) const;
    Rgb walls(const Vec3& direction) const;
    static double panels(const Vec3& direction);

    GradientNoise grain;
};

} // namespace velmorra::tools
