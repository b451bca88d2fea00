#pragma once

#include "fluid/FieldKernel.h"

#include <cstddef>
#include <span>

namespace velmorra {

// Eight samples at a time with AVX2 and FMA: the field's sums, its grid pass and the reciprocals
// they take. The reciprocals are built from the processor's float approximation instead of the
// divider, which is narrower than the rest of the unit; values the approximation cannot take go
// to the divider. Its other jobs are the plain kernel's.
class Avx2Kernel {
  public:
    [[gnu::target("avx2,fma")]] static void accumulateDensities(const SampleColumns& samples,
                                                                std::span<const Vector3> particles,
                                                                std::span<double> densities);
    // squaredZ is fillPlaneOffsets' for these axes and particles.
    [[gnu::target("avx2,fma")]] static void
    accumulateGridDensities(const GridAxes& axes, const float* squaredZ, int firstBlock,
                            int endBlock, std::span<const Vector3> particles,
                            std::span<double> densities);
    [[gnu::target("avx2,fma")]] static std::size_t
    reciprocalsOfFloats(std::span<const float> values, std::span<double> reciprocals);
};

} // namespace velmorra
