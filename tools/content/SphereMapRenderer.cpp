#include "content/SphereMapRenderer.h"

#include <algorithm>
#include <cmath>

namespace velmorra::tools {

Vec3 SphereMapRenderer::reflectionAt(double s, double t) {
    double x = 2.0 * s - 1.0;
    double y = 2.0 * t - 1.0;
    const double radius = std::sqrt(x * x + y * y);
    // Just inside the rim, so the border continues the rim's upper and lower halves
    // instead of all meeting in the single direction straight behind the ball.
    constexpr double rim = 0.999;
    if (radius > rim) {
        x *= rim / radius;
        y *= rim / radius;
    }
    const double z = std::sqrt(std::max(0.0, 1.0 - x * x - y * y));
    // The eye looks along -z: reflecting (0, 0, -1) about the ball's normal (x, y, z).
    return Vec3{2.0 * z * x, 2.0 * z * y, 2.0 * z * z - 1.0}.normalized();
}

Canvas SphereMapRenderer::render(const Environment& environment, int size, int samplesPerAxis) {
    Canvas canvas(size, size);
    const float weight = 1.0f / static_cast<float>(samplesPerAxis * samplesPerAxis);
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            Rgb sum;
            for (int j = 0; j < samplesPerAxis; ++j) {
                for (int i = 0; i < samplesPerAxis; ++i) {
                    const double s = (column + (i + 0.5) / samplesPerAxis) / size;
                    const double t = 1.0 - (row + (j + 0.5) / samplesPerAxis) / size;
                    sum += environment(reflectionAt(s, t));
                }
            }
            canvas.set(column, row, sum * weight);
        }
    }
    return canvas;
}

} // namespace velmorra::tools
