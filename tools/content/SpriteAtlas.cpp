#include "content/SpriteAtlas.h"

#include "content/Shading.h"

#include <cmath>

namespace velmorra::tools {

namespace {

constexpr int samplesPerAxis = 4;

double gaussian(double distanceSquared, double size) {
    return std::exp(-distanceSquared / (size * size));
}

// 1 inside the cell, falling to 0 over its outer tenth.
double edgeWindow(double x, double y) {
    const double reach = std::max(std::fabs(x), std::fabs(y));
    return smoothstep(0.98, 0.82, reach);
}

} // namespace

SpriteAtlas::SpriteAtlas() : surface(41), gas(42) {}

Canvas SpriteAtlas::paint() const {
    Canvas atlas(size, size);
    for (int row = 0; row < cellsPerSide; ++row) {
        for (int column = 0; column < cellsPerSide; ++column) {
            atlas.paste(paintCell(cellAt(column, row)), column * cellSize, row * cellSize);
        }
    }
    return atlas;
}

Canvas SpriteAtlas::paintCell(const Cell& cell) const {
    Canvas canvas(cellSize, cellSize);
    const float weight = 1.0f / (samplesPerAxis * samplesPerAxis);
    for (int py = 0; py < cellSize; ++py) {
        for (int px = 0; px < cellSize; ++px) {
            Rgb sum;
            for (int j = 0; j < samplesPerAxis; ++j) {
                for (int i = 0; i < samplesPerAxis; ++i) {
                    const double x = (px + (i + 0.5) / samplesPerAxis) / cellSize * 2.0 - 1.0;
                    const double y = (py + (j + 0.5) / samplesPerAxis) / cellSize * 2.0 - 1.0;
                    sum += cell(x, y) * static_cast<float>(edgeWindow(x, y));
                }
            }
            canvas.set(px, py, sum * weight);
        }
    }
    return canvas;
}

// Rows as seen in the picture, top first.
SpriteAtlas::Cell SpriteAtlas::cellAt(int column, int row) const {
    const Vec3 light = Vec3{-0.6, -0.5, 0.62}.normalized();
    const Cell cells[cellsPerSide][cellsPerSide] = {
        {[this](double x, double y) {
             return glow(x, y, {0.75f, 0.85f, 1.0f}, 0.28);
         },
         [this](double x, double y) {
             return glow(x, y, {1.0f, 0.62f, 0.25f}, 0.22);
         },
         [this](double x, double y) { return spikedStar(x, y); },
         [this](double x, double y) { return binaryStar(x, y); }},
        {[this](double x, double y) {
             return nebula(x, y, {1.0f, 0.45f, 0.6f}, {0.45f, 0.1f, 0.5f}, 0.0);
         },
         [this](double x, double y) {
             return nebula(x, y, {0.5f, 0.95f, 1.0f}, {0.1f, 0.25f, 0.6f}, 7.0);
         },
         [this](double x, double y) {
             return nebula(x, y, {1.0f, 0.85f, 0.45f}, {0.2f, 0.45f, 0.2f}, 13.0);
         },
         [this](double x, double y) { return ringNebula(x, y); }},
        {[this](double x, double y) {
             return ringedPlanet(x, y, {0.45f, 0.32f, 0.18f}, {0.95f, 0.82f, 0.58f},
                                 {0.85f, 0.75f, 0.6f}, 0.32);
         },
         [this](double x, double y) {
             return ringedPlanet(x, y, {0.1f, 0.25f, 0.45f}, {0.55f, 0.85f, 0.95f},
                                 {0.7f, 0.8f, 0.9f}, -0.45);
         },
         [this, light](double x, double y) {
             return planet(x, y, light, {0.35f, 0.1f, 0.04f}, {0.9f, 0.45f, 0.22f}, 0.0, 0.62);
         },
         [this, light](double x, double y) {
             return planet(x, y, light, {0.05f, 0.18f, 0.5f}, {0.55f, 0.75f, 0.95f}, 0.0, 0.6);
         }},
        {[this, light](double x, double y) {
             return planet(x, y, light, {0.5f, 0.3f, 0.2f}, {0.98f, 0.88f, 0.7f}, 9.0, 0.72);
         },
         [this](double x, double y) { return moon(x, y); },
         [this](double x, double y) { return spiralGalaxy(x, y); },
         [this](double x, double y) { return ellipticalGalaxy(x, y); }}};
    return cells[row][column];
}

Rgb SpriteAtlas::glow(double x, double y, Rgb colour, double size) const {
    const double d2 = x * x + y * y;
    return colour * static_cast<float>(gaussian(d2, size) + 0.8 * gaussian(d2, size * 0.25));
}

// A bright point with diffraction spikes along the axes.
Rgb SpriteAtlas::spikedStar(double x, double y) const {
    const double d2 = x * x + y * y;
    const double spikes = gaussian(y * y, 0.025) * gaussian(x * x, 0.75) +
                          gaussian(x * x, 0.025) * gaussian(y * y, 0.75);
    const double core = gaussian(d2, 0.12) + 0.6 * gaussian(d2, 0.35);
    return Rgb{0.9f, 0.95f, 1.0f} * static_cast<float>(core + 0.8 * spikes);
}

Rgb SpriteAtlas::binaryStar(double x, double y) const {
    return glow(x + 0.22, y - 0.12, {1.0f, 0.8f, 0.5f}, 0.17) +
           glow(x - 0.25, y + 0.14, {0.55f, 0.7f, 1.0f}, 0.13);
}

Rgb SpriteAtlas::nebula(double x, double y, Rgb inner, Rgb outer, double seedOffset) const {
    const Vec3 p{x * 1.8 + seedOffset, y * 1.8, seedOffset * 0.5};
    const double d2 = x * x + y * y;
    const double density = smoothstep(-0.35, 0.6, gas.fractal(p, 6)) * gaussian(d2, 0.55);
    const double core = gaussian(d2, 0.2);
    const Rgb colour = Rgb::mix(outer, inner, static_cast<float>(core));
    return colour * static_cast<float>(density * 2.6) +
           Rgb::grey(static_cast<float>(0.5 * gaussian(d2, 0.06)));
}

// A glowing shell of gas round a small hot star.
Rgb SpriteAtlas::ringNebula(double x, double y) const {
    const double r = std::sqrt(x * x * 1.2 + y * y);
    const double shell = gaussian((r - 0.45) * (r - 0.45), 0.12);
    const double texture = 0.6 + 0.4 * gas.fractal(Vec3{x * 4.0, y * 4.0, 3.0}, 4);
    const Rgb colour = Rgb::mix({0.3f, 0.9f, 0.75f}, {0.9f, 0.35f, 0.3f},
                                static_cast<float>(smoothstep(0.3, 0.6, r)));
    return colour * static_cast<float>(shell * texture) +
           Rgb{0.8f, 0.9f, 1.0f} * static_cast<float>(gaussian(x * x + y * y, 0.07));
}

// A sphere lit from `light`, coloured by noise (rocky) or by latitude bands
// (gas giant, bands > 0), with a thin atmosphere on the lit limb.
Rgb SpriteAtlas::planet(double x, double y, const Vec3& light, Rgb dark, Rgb bright, double bands,
                        double radius) const {
    const double u = x / radius;
    const double v = y / radius;
    const double r2 = u * u + v * v;
    if (r2 >= 1.0) {
        const double halo = gaussian(std::sqrt(r2) - 1.0, 0.12);
        return Rgb::mix(dark, bright, 0.5f) * static_cast<float>(0.25 * halo);
    }
    const Vec3 normal{u, v, std::sqrt(1.0 - r2)};
    const double pattern =
        bands > 0.0 ? 0.5 + 0.5 * std::sin(v * bands + 1.5 * surface.fractal(normal * 3.0, 4))
                    : 0.5 + 0.5 * surface.fractal(normal * 2.5 + Vec3{dark.red * 9.0, 0, 0}, 6);
    const double lit = std::max(0.0, normal.dot(light));
    const double limb = std::pow(1.0 - normal.z, 3.0) * lit;
    const Rgb albedo = Rgb::mix(dark, bright, static_cast<float>(pattern));
    return albedo * static_cast<float>(0.03 + 1.1 * lit) + bright * static_cast<float>(0.6 * limb);
}

// The ring plane is tilted so its circle shows as an ellipse; the half of the
// ring behind the planet is hidden by it, the front half covers it.
Rgb SpriteAtlas::ringedPlanet(double x, double y, Rgb dark, Rgb bright, Rgb ringColour,
                              double tilt) const {
    const Vec3 light = Vec3{-0.7, -0.35, 0.62}.normalized();
    const double c = std::cos(tilt), s = std::sin(tilt);
    const double rx = c * x + s * y;
    const double ry = (-s * x + c * y) / 0.3;
    const double ringRadius = std::sqrt(rx * rx + ry * ry);
    const double band = smoothstep(0.55, 0.6, ringRadius) * smoothstep(0.86, 0.81, ringRadius) *
                        (0.55 + 0.45 * std::sin(ringRadius * 60.0)) *
                        (ringRadius > 0.7 && ringRadius < 0.73 ? 0.2 : 1.0);
    const double radius = 0.45;
    const bool onPlanet = x * x + y * y < radius * radius;
    const bool ringInFront = ry > 0.0;
    const Rgb ring = ringColour * static_cast<float>(band * 0.9);
    const Rgb body = planet(x, y, light, dark, bright, 11.0, radius);
    if (!onPlanet) {
        return body + ring;
    }
    return ringInFront ? Rgb::mix(body, ring, static_cast<float>(band)) : body;
}

Rgb SpriteAtlas::moon(double x, double y) const {
    const Vec3 light = Vec3{0.7, -0.2, 0.35}.normalized();
    Rgb base = planet(x, y, light, {0.25f, 0.25f, 0.27f}, {0.8f, 0.8f, 0.78f}, 0.0, 0.5);
    // Craters: dark discs with a bright rim, on the lit side only where the base is lit.
    const double craters[][3] = {{0.1, -0.15, 0.1},
                                 {-0.2, 0.1, 0.07},
                                 {0.22, 0.2, 0.06},
                                 {-0.05, 0.3, 0.05},
                                 {0.3, -0.05, 0.045}};
    for (const auto& crater : craters) {
        const double d = std::hypot(x - crater[0], y - crater[1]) / crater[2];
        if (d < 1.2) {
            const double shade = d < 1.0 ? 0.65 : 1.0 + 0.5 * smoothstep(1.2, 1.0, d);
            base = base * static_cast<float>(shade);
        }
    }
    return base;
}

// Two logarithmic arms round a bright bulge, in a disc seen at a slant.
Rgb SpriteAtlas::spiralGalaxy(double x, double y) const {
    const double c = std::cos(0.5), s = std::sin(0.5);
    const double gx = c * x + s * y;
    const double gy = (-s * x + c * y) / 0.55;
    const double r = std::sqrt(gx * gx + gy * gy) + 1e-6;
    const double angle = std::atan2(gy, gx);
    const double arms = std::pow(0.5 + 0.5 * std::cos(2.0 * (angle - 3.2 * std::log(r))), 3.0);
    const double dust = 0.7 + 0.3 * gas.fractal(Vec3{gx * 6.0, gy * 6.0, 9.0}, 4);
    const double disc = std::exp(-r / 0.28) * (0.25 + 0.75 * arms) * dust;
    const double bulge = gaussian(r * r, 0.12);
    return Rgb{0.6f, 0.72f, 1.0f} * static_cast<float>(disc * 1.2) +
           Rgb{1.0f, 0.9f, 0.7f} * static_cast<float>(bulge);
}

Rgb SpriteAtlas::ellipticalGalaxy(double x, double y) const {
    const double c = std::cos(-0.6), s = std::sin(-0.6);
    const double gx = c * x + s * y;
    const double gy = (-s * x + c * y) / 0.45;
    const double d2 = gx * gx + gy * gy;
    const double light = 0.9 * std::exp(-std::sqrt(d2) / 0.16) + 0.3 * gaussian(d2, 0.5);
    return Rgb{1.0f, 0.88f, 0.72f} * static_cast<float>(light) +
           glow(x - 0.5, y + 0.45, {0.7f, 0.8f, 1.0f}, 0.05) * 0.6f;
}

} // namespace velmorra::tools
