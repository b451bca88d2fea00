#pragma once

#include "Rgb.h"
#include "Vec3.h"
#include "content/GradientNoise.h"

namespace velmorra::tools {

// An open summer sky for the water poured into the cup: deep blue overhead
// paling to the horizon, drifting cumulus, a low sun, and dark fields and
// woods below the horizon.
class SkyEnvironment {
  public:
    SkyEnvironment();

    Rgb look(const Vec3& direction) const;

  private:
    Rgb sky(const Vec3& direction) const;
    Rgb ground(const Vec3& direction) const;

    GradientNoise clouds;
    GradientNoise cloudDetail;
    GradientNoise fields;
};

} // namespace velmorra::tools
