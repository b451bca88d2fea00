#pragma once

#include "fluid/FieldKernel.h"

#include <cstddef>
#include <span>

namespace velmorra {

// Sixteen samples or eight particles at a time with AVX-512: the field's sums, its grid pass, the
// reciprocals they take and the particles' pair forces; Avx512SurfaceKernel has the surface's
// jobs. The reciprocals are built from the processor's approximation instead of the divider,
// which is narrower than the rest of the unit.
class Avx512Kernel {
  public:
    [[gnu::target("avx512f")]] static void accumulateDensities(const SampleColumns& samples,
                                                               std::span<const Vector3> particles,
                                                               std::span<double> densities);
    // squaredZ is fillPlaneOffsets' for these axes and particles.
    [[gnu::target("avx512f")]] static void
    accumulateGridDensities(const GridAxes& axes, const float* squaredZ, int firstBlock,
                            int endBlock, std::span<const Vector3> particles,
                            std::span<double> densities);
    [[gnu::target("avx512f")]] static std::size_t
    reciprocalsOfFloats(std::span<const float> values, std::span<double> reciprocals);
    [[gnu::target("avx512f")]] static void sumPairForces(std::span<const Vector3> positions,
                                                         int first, int end, const PairTerms& terms,
                                                         std::span<Vector3> forces);
};

} // namespace velmorra
