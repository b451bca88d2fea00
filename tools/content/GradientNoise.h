#pragma once

#include "Vec3.h"

#include <array>
#include <cstdint>

namespace velmorra::tools {

// Smooth 3D gradient noise with a permutation drawn from a seed, and the
// fractal sums the textures are built from.
class GradientNoise {
  public:
    explicit GradientNoise(std::uint64_t seed);

    // About -1 to 1, zero on every lattice point.
    double sample(Vec3 p) const;
    // `octaves` layers, each at twice the frequency and half the weight of the last,
    // normalised back to about -1 to 1.
    double fractal(Vec3 p, int octaves) const;
    // Noise that repeats every `period` units in x and y (not z), for textures
    // that tile: each octave's lattice wraps at period times its frequency.
    double samplePeriodic(Vec3 p, int period) const;
    double fractalPeriodic(Vec3 p, int period, int octaves) const;
    // Sharp bright creases where the noise crosses zero: 0 to 1, 1 on the crease.
    double ridged(Vec3 p, int octaves) const;

  private:
    double gradientDot(int hash, Vec3 offset) const;
    int hashAt(int x, int y, int z) const;
    double interpolate(Vec3 p, int period) const;

    std::array<std::uint8_t, 512> permutation{};
};

} // namespace velmorra::tools
