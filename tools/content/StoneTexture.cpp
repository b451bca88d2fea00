#include "content/StoneTexture.h"

#include "content/Shading.h"

#include <algorithm>
#include <cmath>

namespace velmorra::tools {

namespace {

constexpr double pi = 3.14159265358979323846;

} // namespace

Canvas StoneTexture::paint(const std::function<Rgb(double u, double v)>& shade) {
    Canvas canvas(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            canvas.set(x, y, shade((x + 0.5) / size, (y + 0.5) / size));
        }
    }
    return canvas;
}

// Veins follow a sine across the tile bent by turbulence; the sine has a whole
// number of periods so the tile still wraps.
Canvas StoneTexture::marble() {
    const GradientNoise turbulence(51);
    const GradientNoise cloud(52);
    return paint([&](double u, double v) {
        const double warp = turbulence.fractalPeriodic({u * 4.0, v * 4.0, 0.3}, 4, 6);
        const double vein = std::fabs(std::sin(2.0 * pi * (u + v) * 2.0 + warp * 3.2));
        const double dark = std::pow(1.0 - vein, 9.0);
        const double mottle = 0.5 + 0.5 * cloud.fractalPeriodic({u * 8.0, v * 8.0, 1.7}, 8, 4);
        const Rgb base =
            Rgb::mix({0.8f, 0.8f, 0.76f}, {0.93f, 0.92f, 0.88f}, static_cast<float>(mottle));
        return Rgb::mix(base, {0.36f, 0.42f, 0.38f}, static_cast<float>(dark * 0.85));
    });
}

Canvas StoneTexture::sandstone() {
    const GradientNoise strata(61);
    const GradientNoise grain(62);
    const GradientNoise pits(63);
    return paint([&](double u, double v) {
        const double wobble = strata.fractalPeriodic({u * 4.0, v * 4.0, 0.0}, 4, 5);
        const double bands = std::sin(2.0 * pi * v * 5.0 + wobble * 4.0) +
                             0.5 * std::sin(2.0 * pi * v * 13.0 + wobble * 6.0);
        const double layer = std::clamp(0.5 + 0.35 * bands, 0.0, 1.0);
        const double fine = grain.fractalPeriodic({u * 64.0, v * 64.0, 0.5}, 64, 2);
        const double hole =
            smoothstep(0.55, 0.75, pits.fractalPeriodic({u * 16.0, v * 16.0, 2.0}, 16, 3));
        const Rgb colour = ramp(layer, {{0.0, {0.62f, 0.45f, 0.3f}},
                                        {0.5, {0.78f, 0.62f, 0.43f}},
                                        {1.0, {0.86f, 0.74f, 0.55f}}});
        return colour * static_cast<float>((0.92 + 0.08 * fine) * (1.0 - 0.45 * hole));
    });
}

Canvas StoneTexture::basalt() {
    const GradientNoise rough(71);
    const GradientNoise stain(72);
    const GradientNoise cracks(73);
    return paint([&](double u, double v) {
        const double bump = 0.5 + 0.5 * rough.fractalPeriodic({u * 16.0, v * 16.0, 0.0}, 16, 5);
        const double crackWrapped =
            std::pow(1.0 - std::fabs(cracks.fractalPeriodic({u * 6.0, v * 6.0, 0.0}, 6, 3)), 14.0);
        const double rust =
            smoothstep(0.2, 0.6, stain.fractalPeriodic({u * 4.0, v * 4.0, 3.0}, 4, 4));
        const double lichen =
            smoothstep(0.35, 0.55, stain.fractalPeriodic({u * 8.0, v * 8.0, 9.0}, 8, 4));
        Rgb colour = Rgb::grey(static_cast<float>(0.16 + 0.16 * bump));
        colour = Rgb::mix(colour, {0.36f, 0.22f, 0.14f}, static_cast<float>(rust * 0.6));
        colour = Rgb::mix(colour, {0.45f, 0.5f, 0.28f}, static_cast<float>(lichen * 0.7));
        return colour * static_cast<float>(1.0 - 0.7 * crackWrapped);
    });
}

Canvas StoneTexture::granite() {
    const GradientNoise crystals(81);
    const GradientNoise flecks(82);
    const GradientNoise cloud(83);
    return paint([&](double u, double v) {
        const double coarse = crystals.fractalPeriodic({u * 16.0, v * 16.0, 0.0}, 16, 3);
        const double fine = flecks.fractalPeriodic({u * 24.0, v * 24.0, 1.0}, 24, 3);
        const double tone = 0.5 + 0.5 * cloud.fractalPeriodic({u * 4.0, v * 4.0, 2.0}, 4, 4);
        Rgb colour = Rgb::mix({0.55f, 0.5f, 0.5f}, {0.72f, 0.6f, 0.58f}, static_cast<float>(tone));
        colour = Rgb::mix(colour, {0.12f, 0.11f, 0.12f},
                          static_cast<float>(smoothstep(0.3, 0.6, coarse) * 0.85));
        colour = Rgb::mix(colour, {0.92f, 0.9f, 0.88f},
                          static_cast<float>(smoothstep(0.4, 0.7, fine) * 0.7));
        return colour;
    });
}

} // namespace velmorra::tools
