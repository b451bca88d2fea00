#pragma once

#include "fluid/FieldKernel.h"

#include <span>

namespace velmorra {

// Four floats or two doubles at a time with WebAssembly's 128-bit SIMD, for the browser build:
// the field's sums and its grid pass, whose terms go through the double divider two at a time
// exactly as the plain kernel divides them. The grid pass makes each particle's in-plane
// distances once for all planes and sums two planes at a time, which keeps the divider fed.
// WebAssembly has neither a reciprocal estimate nor a fused multiply-add: a correctly rounded
// reciprocal refined from the float division costs more of the engine's instructions than the
// divider takes. Its other jobs are the plain kernel's.
class WasmSimdKernel {
  public:
    static void accumulateDensities(const SampleColumns& samples,
                                    std::span<const Vector3> particles,
                                    std::span<double> densities);
    // squaredZ is fillPlaneOffsets' for these axes and particles.
    static void accumulateGridDensities(const GridAxes& axes, const float* squaredZ,
                                        int firstBlock, int endBlock,
                                        std::span<const Vector3> particles,
                                        std::span<double> densities);
};

} // namespace velmorra
