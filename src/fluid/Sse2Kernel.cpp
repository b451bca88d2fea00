#include "fluid/Sse2Kernel.h"

#include <cstring>

namespace velmorra {

namespace {

using Floats4 [[gnu::vector_size(16)]] = float;
using Doubles2 [[gnu::vector_size(16)]] = double;

// The block's squared distances are widened into two vectors of doubles, the lower and the upper
// half, each with its own running sum.
void divideBlock(const SampleColumns& samples, std::span<const Vector3> particles,
                 std::span<double> densities, std::size_t base) {
    Floats4 x;
    Floats4 y;
    Floats4 z;
    std::memcpy(&x, &samples.x[base], sizeof x);
    std::memcpy(&y, &samples.y[base], sizeof y);
    std::memcpy(&z, &samples.z[base], sizeof z);
    Doubles2 lower = {};
    Doubles2 upper = {};
    for (const Vector3& particle : particles) {
        const Floats4 dx = x - particle.x;
        const Floats4 dy = y - particle.y;
        const Floats4 dz = z - particle.z;
        const Floats4 squared = dx * dx + dy * dy + dz * dz;
        lower += 1.0 /
                 __builtin_convertvector(__builtin_shufflevector(squared, squared, 0, 1), Doubles2);
        upper += 1.0 /
                 __builtin_convertvector(__builtin_shufflevector(squared, squared, 2, 3), Doubles2);
    }
    std::memcpy(&densities[base], &lower, sizeof lower);
    std::memcpy(&densities[base + 2], &upper, sizeof upper);
}

} // namespace

void Sse2Kernel::accumulateDensities(const SampleColumns& samples,
                                     std::span<const Vector3> particles,
                                     std::span<double> densities) {
    for (std::size_t base = 0; base + 4 <= densities.size(); base += 4) {
        divideBlock(samples, particles, densities, base);
    }
}

} // namespace velmorra
