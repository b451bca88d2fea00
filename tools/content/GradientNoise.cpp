#include "content/GradientNoise.h"

#include "SeededRandom.h"

#include <cmath>
#include <numeric>
#include <utility>

namespace velmorra::tools {

namespace {

double fade(double t) {
    return t * t * t * (t * (t * 6.0 - 15.0) + 10.0);
}

double lerp(double a, double b, double t) {
    return a + (b - a) * t;
}

int wrap(int value, int period) {
    return (value % period + period) % period;
}

int floorInt(double value) {
    return static_cast<int>(std::floor(value));
}

} // namespace

GradientNoise::GradientNoise(std::uint64_t seed) {
    std::array<std::uint8_t, 256> order{};
    std::iota(order.begin(), order.end(), std::uint8_t{0});
    SeededRandom random(seed);
    for (int i = 255; i > 0; --i) {
        std::swap(order[static_cast<std::size_t>(i)],
                  order[static_cast<std::size_t>(random.below(i + 1))]);
    }
    for (std::size_t i = 0; i < permutation.size(); ++i) {
        permutation[i] = order[i & 255];
    }
}

int GradientNoise::hashAt(int x, int y, int z) const {
    const int a = permutation[static_cast<std::size_t>(x & 255)];
    const int b = permutation[static_cast<std::size_t>((a + (y & 255)) & 511)];
    return permutation[static_cast<std::size_t>((b + (z & 255)) & 511)];
}

// The twelve cube-edge directions, as in improved Perlin noise.
double GradientNoise::gradientDot(int hash, Vec3 o) const {
    switch (hash % 12) {
    case 0:
        return o.x + o.y;
    case 1:
        return -o.x + o.y;
    case 2:
        return o.x - o.y;
    case 3:
        return -o.x - o.y;
    case 4:
        return o.x + o.z;
    case 5:
        return -o.x + o.z;
    case 6:
        return o.x - o.z;
    case 7:
        return -o.x - o.z;
    case 8:
        return o.y + o.z;
    case 9:
        return -o.y + o.z;
    case 10:
        return o.y - o.z;
    default:
        return -o.y - o.z;
    }
}

double GradientNoise::sample(Vec3 p) const {
    return interpolate(p, 0);
}

double GradientNoise::samplePeriodic(Vec3 p, int period) const {
    return interpolate(p, period);
}

double GradientNoise::fractalPeriodic(Vec3 p, int period, int octaves) const {
    double sum = 0.0, weight = 1.0, total = 0.0;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += weight * samplePeriodic(p, period);
        total += weight;
        weight *= 0.5;
        period *= 2;
        p = Vec3{p.x * 2.0, p.y * 2.0, p.z * 2.0 + 7.3};
    }
    return sum / total * 1.4;
}

// Period 0: no wrapping.
double GradientNoise::interpolate(Vec3 p, int period) const {
    const int x0 = floorInt(p.x), y0 = floorInt(p.y), z0 = floorInt(p.z);
    const Vec3 f{p.x - x0, p.y - y0, p.z - z0};
    const double u = fade(f.x), v = fade(f.y), w = fade(f.z);
    double corners[2][2][2];
    for (int dz = 0; dz < 2; ++dz) {
        for (int dy = 0; dy < 2; ++dy) {
            for (int dx = 0; dx < 2; ++dx) {
                const Vec3 offset{f.x - dx, f.y - dy, f.z - dz};
                const int x = period > 0 ? wrap(x0 + dx, period) : x0 + dx;
                const int y = period > 0 ? wrap(y0 + dy, period) : y0 + dy;
                corners[dz][dy][dx] = gradientDot(hashAt(x, y, z0 + dz), offset);
            }
        }
    }
    const double y0z0 = lerp(corners[0][0][0], corners[0][0][1], u);
    const double y1z0 = lerp(corners[0][1][0], corners[0][1][1], u);
    const double y0z1 = lerp(corners[1][0][0], corners[1][0][1], u);
    const double y1z1 = lerp(corners[1][1][0], corners[1][1][1], u);
    return lerp(lerp(y0z0, y1z0, v), lerp(y0z1, y1z1, v), w);
}

double GradientNoise::fractal(Vec3 p, int octaves) const {
    double sum = 0.0, weight = 1.0, total = 0.0;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += weight * sample(p);
        total += weight;
        weight *= 0.5;
        p = p * 2.03 + Vec3{17.1, -9.3, 4.7}; // offsets keep the lattices of the layers apart
    }
    return sum / total * 1.4;
}

double GradientNoise::ridged(Vec3 p, int octaves) const {
    return 1.0 - std::fabs(fractal(p, octaves));
}

} // namespace velmorra::tools
