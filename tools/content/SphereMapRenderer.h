#pragma once

#include "Canvas.h"
#include "Vec3.h"

#include <functional>

namespace velmorra::tools {

// Renders an environment as OpenGL's sphere-map generation will look it up:
// the picture of a mirror ball seen along -z in eye space. The texel at
// (s, t) shows the environment in the direction that the ball reflects there;
// up in the environment is +y, the viewer's side +z.
class SphereMapRenderer {
  public:
    using Environment = std::function<Rgb(const Vec3& direction)>;

    // The unit reflection direction seen at texture coordinates (s, t); points
    // outside the ball are pulled onto its rim, so the border repeats the rim.
    static Vec3 reflectionAt(double s, double t);

    // Each texel averages samplesPerAxis^2 directions spread over it.
    static Canvas render(const Environment& environment, int size, int samplesPerAxis);
};

} // namespace velmorra::tools
