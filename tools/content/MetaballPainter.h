#pragma once

#include "Canvas.h"
#include "Vec3.h"

#include <vector>

namespace velmorra::tools {

// Paints a small cluster of metaballs, the demo's liquid, onto a canvas:
// the iso-surface of the balls' summed field is found along each pixel's
// viewing ray and shaded with a sphere map, as the demo shades its liquid.
class MetaballPainter {
  public:
    struct Ball {
        Vec3 centre; // pixels; z towards the viewer
        double radius = 0.0;
    };

    MetaballPainter(std::vector<Ball> balls, const Canvas& sphereMap);

    void paint(Canvas& canvas, int samplesPerAxis) const;

  private:
    double field(Vec3 p) const;
    Vec3 gradient(Vec3 p) const;
    // The nearest surface point along the ray through (x, y) towards -z, if any.
    bool surfaceAt(double x, double y, Vec3& hit) const;
    Rgb shade(const Vec3& hit) const;

    std::vector<Ball> balls;
    const Canvas& sphereMap;
    double nearest = 0.0;
    double farthest = 0.0;
    // Pixels outside these bounds cannot meet the surface and are not marched.
    double left = 0.0;
    double right = 0.0;
    double top = 0.0;
    double bottom = 0.0;
};

} // namespace velmorra::tools
