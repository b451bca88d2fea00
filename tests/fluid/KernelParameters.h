#pragma once

#include "fluid/KernelDispatch.h"

#include <gtest/gtest.h>

#include <string>

namespace velmorra {

// The kernels compared with the plain one; each test instance is named after its kernel.
inline constexpr FieldKernel vectorKernels[] = {FieldKernel::sse2, FieldKernel::avx2,
                                                FieldKernel::avx512};

inline std::string kernelTestName(const testing::TestParamInfo<FieldKernel>& info) {
    return fieldKernelName(info.param);
}

inline const char* jobName(KernelJob job) {
    switch (job) {
    case KernelJob::fieldSums:
        return "field sums";
    case KernelJob::gridPass:
        return "grid pass";
    case KernelJob::settleRows:
        return "settling of rows";
    case KernelJob::belowMasks:
        return "below masks";
    case KernelJob::reciprocals:
        return "reciprocals";
    case KernelJob::pairForces:
        return "pair forces";
    case KernelJob::cut:
        return "cut";
    }
    return "job";
}

// Why the kernel's own job cannot be compared on this processor, or nothing when it can: a
// comparison that would run the plain kernel on both sides is skipped, not passed.
inline std::string whyNotCompared(FieldKernel kernel, KernelJob job) {
    const std::string name = fieldKernelName(kernel);
    if (!isFieldKernelSupported(kernel)) {
        return "this processor lacks " + std::string(fieldKernelNeeds(kernel)) + ", which the " +
               name + " kernel needs";
    }
    if (kernelRunning(kernel, job) != kernel) {
        return "the " + name + " kernel has no " + jobName(job) + " of its own";
    }
    return {};
}

} // namespace velmorra
