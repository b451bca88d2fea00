#include "content/LavaEnvironment.h"

#include "SeededRandom.h"
#include "content/Shading.h"

#include <cmath>

namespace velmorra::tools {

namespace {

const Rgb horizonGlow{0.95f, 0.32f, 0.05f};

Rgb molten(double heat) {
    return ramp(heat, {{0.0, {0.025f, 0.012f, 0.01f}},
                       {0.3, {0.32f, 0.03f, 0.0f}},
                       {0.6, {0.92f, 0.26f, 0.02f}},
                       {0.85, {1.0f, 0.68f, 0.14f}},
                       {1.0, {1.0f, 0.95f, 0.7f}}});
}

std::uint64_t cellSeed(int x, int y, int z) {
    const auto wide = [](int value) { return static_cast<std::uint64_t>(value); };
    return wide(x) * 73856093ULL ^ wide(y) * 19349663ULL ^ wide(z) * 83492791ULL;
}

} // namespace

LavaEnvironment::LavaEnvironment() : crust(11), pools(12), fumes(13) {}

Rgb LavaEnvironment::look(const Vec3& direction) const {
    return direction.y < 0.0 ? lake(direction) : smoke(direction) + embers(direction);
}

// The lake is a plane one unit below the eye, so its pattern shrinks toward the horizon.
Rgb LavaEnvironment::lake(const Vec3& d) const {
    const double depth = -d.y;
    const double distance = 1.0 / std::max(depth, 0.02);
    const Vec3 ground{d.x * distance, 0.0, d.z * distance};
    const double veins = std::pow(crust.ridged(ground * 1.3, 5), 7.0);
    const double pool = smoothstep(0.15, 0.55, pools.fractal(ground * 0.35 + Vec3{0, 3.1, 0}, 4));
    const double heat = std::clamp(0.08 + 0.9 * veins + 0.75 * pool, 0.0, 1.0);
    const double haze = std::exp(-depth * 7.0);
    return Rgb::mix(molten(heat), horizonGlow, static_cast<float>(haze * 0.85));
}

Rgb LavaEnvironment::smoke(const Vec3& d) const {
    const double billow = smoothstep(-0.5, 0.8, fumes.fractal(d * 2.2, 6));
    const double litFromBelow = std::exp(-d.y * 2.6);
    const Rgb soot{0.16f, 0.05f, 0.03f};
    const Rgb glow = horizonGlow * static_cast<float>(litFromBelow * (0.15 + 0.85 * billow));
    return soot * static_cast<float>(billow) + glow;
}

// Sparse sparks: one chance per cell of a grid around the viewer.
Rgb LavaEnvironment::embers(const Vec3& d) const {
    constexpr double cells = 18.0;
    const Vec3 p = d * cells;
    const int cx = static_cast<int>(std::floor(p.x));
    const int cy = static_cast<int>(std::floor(p.y));
    const int cz = static_cast<int>(std::floor(p.z));
    SeededRandom random(cellSeed(cx, cy, cz));
    if (random.unit() > 0.3) {
        return {};
    }
    const Vec3 spark{cx + random.between(0.25, 0.75), cy + random.between(0.25, 0.75),
                     cz + random.between(0.25, 0.75)};
    const double size = random.between(0.05, 0.14);
    const double distance = (p - spark.normalized() * p.length()).length();
    const double glow = std::exp(-(distance * distance) / (size * size));
    const float heat = static_cast<float>(random.between(0.6, 1.0));
    return Rgb{1.0f, 0.45f * heat, 0.1f * heat} * static_cast<float>(glow * 1.2);
}

} // namespace velmorra::tools
