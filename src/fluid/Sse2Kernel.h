#pragma once

#include "fluid/FieldKernel.h"

#include <span>

namespace velmorra {

// Four samples at a time with the instructions every x86-64 has. The field's terms go through
// the divider, two at a time; its other jobs are the plain kernel's.
class Sse2Kernel {
  public:
    static void accumulateDensities(const SampleColumns& samples,
                                    std::span<const Vector3> particles,
                                    std::span<double> densities);
};

} // namespace velmorra
