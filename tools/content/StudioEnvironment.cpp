#include "content/StudioEnvironment.h"

#include "content/Shading.h"

#include <cmath>

namespace velmorra::tools {

namespace {

struct Panel {
    Vec3 centre; // direction to the panel's middle
    Vec3 up;     // any vector not parallel to centre
    double halfWidth = 0.0;
    double halfHeight = 0.0;
    double brightness = 0.0;
};

// Half-sizes are tangents of the panels' angular extents.
const Panel studioPanels[] = {
    {{0.0, 1.0, 0.0}, {0.0, 0.0, 1.0}, 0.55, 0.22, 1.6},    // overhead strip
    {{-0.9, 0.35, -0.3}, {0.0, 1.0, 0.0}, 0.32, 0.42, 1.4}, // key light, left
    {{0.95, 0.25, 0.2}, {0.0, 1.0, 0.0}, 0.14, 0.55, 1.2},  // tall strip, right
    {{0.25, 0.3, 0.95}, {0.0, 1.0, 0.0}, 0.45, 0.1, 0.9},   // behind the viewer
    {{-0.2, 0.15, -1.0}, {0.0, 1.0, 0.0}, 0.5, 0.06, 0.8},  // low strip, far wall
};

double panelCoverage(const Panel& panel, const Vec3& d) {
    const Vec3 forward = panel.centre.normalized();
    const double facing = d.dot(forward);
    if (facing <= 0.0) {
        return 0.0;
    }
    const Vec3 across = panel.up.cross(forward).normalized();
    const Vec3 up = forward.cross(across);
    const double u = d.dot(across) / facing;
    const double v = d.dot(up) / facing;
    const double soft = 0.02;
    const double inside =
        smoothstep(panel.halfWidth + soft, panel.halfWidth - soft, std::fabs(u)) *
        smoothstep(panel.halfHeight + soft, panel.halfHeight - soft, std::fabs(v));
    return inside * panel.brightness;
}

} // namespace

StudioEnvironment::StudioEnvironment() : grain(21) {}

Rgb StudioEnvironment::look(const Vec3& direction) const {
    const Rgb base = direction.y < 0.0 ? floor(direction) : walls(direction);
    return base + Rgb{1.0f, 0.98f, 0.95f} * static_cast<float>(panels(direction));
}

double StudioEnvironment::panels(const Vec3& direction) {
    double light = 0.0;
    for (const Panel& panel : studioPanels) {
        light += panelCoverage(panel, direction);
    }
    return light;
}

// Large tiles a unit below the eye, with dark joints, fading into haze at the horizon.
Rgb StudioEnvironment::floor(const Vec3& d) const {
    const double depth = -d.y;
    const double distance = 1.0 / std::max(depth, 0.01);
    const double x = d.x * distance * 0.9;
    const double z = d.z * distance * 0.9;
    const double fx = x - std::floor(x);
    const double fz = z - std::floor(z);
    const bool odd = (static_cast<long>(std::floor(x)) + static_cast<long>(std::floor(z))) % 2 != 0;
    const double joint = std::min(std::min(fx, 1.0 - fx), std::min(fz, 1.0 - fz));
    const double seam = smoothstep(0.0, 0.03, joint);
    const double speckle = 0.04 * grain.fractal(Vec3{x, 0.0, z} * 6.0, 3);
    const double tone = (odd ? 0.22 : 0.34) + speckle;
    const Rgb tile = Rgb{0.92f, 0.95f, 1.0f} * static_cast<float>(tone * (0.35 + 0.65 * seam));
    const double haze = std::exp(-depth * 9.0);
    return Rgb::mix(tile, {0.55f, 0.57f, 0.6f}, static_cast<float>(haze));
}

// A dark band just above the horizon, then walls that lighten and fall to a black ceiling.
Rgb StudioEnvironment::walls(const Vec3& d) const {
    const double height = d.y;
    const double band = smoothstep(0.0, 0.04, height);
    const double wall = 0.5 - 0.45 * smoothstep(0.05, 0.9, height);
    const Rgb colour = Rgb{0.78f, 0.84f, 0.95f} * static_cast<float>(wall);
    return Rgb::mix({0.05f, 0.05f, 0.06f}, colour, static_cast<float>(band));
}

} // namespace velmorra::tools
