#pragma once

#include "math/Vector3.h"

#include <cstddef>
#include <span>

namespace velmorra {

// Ways to run the liquid's number crunching, one per instruction set. All give the same bits: the
// plain kernel works one sample, particle or edge at a time and is the reference; the others only
// take several at once. KernelDispatch runs each job on the chosen kernel.
enum class FieldKernel { plain, sse2, avx2, avx512 };

inline constexpr FieldKernel everyFieldKernel[] = {FieldKernel::plain, FieldKernel::sse2,
                                                   FieldKernel::avx2, FieldKernel::avx512};

// Sample coordinates in columns, padded to a multiple of fieldBlockSize samples.
struct SampleColumns {
    std::span<const float> x;
    std::span<const float> y;
    std::span<const float> z;
};

inline constexpr int fieldBlockSize = 16;

// A regular grid's sample coordinates, axis by axis: sample (i, j, k) lies at (x[i], y[j], z[k]),
// and the field of such a grid can be taken block by block through every plane along k.
struct GridAxes {
    std::span<const float> x;
    std::span<const float> y;
    std::span<const float> z;
};

// Densities of a grid pass: plane after plane, sample (i, j) of a plane at i + n j, each plane
// padded to a whole number of blocks.
constexpr std::size_t fieldPlaneStride(std::size_t n) {
    const auto block = static_cast<std::size_t>(fieldBlockSize);
    return (n * n + block - 1) / block * block;
}

// What the pair force between two particles depends on besides their distance: it stops growing
// closer than nearest.
struct PairTerms {
    float inverseRest;
    float twiceMass;
    float nearest;
};

// The instructions a kernel needs beyond x86-64's own.
constexpr const char* fieldKernelNeeds(FieldKernel kernel) {
    switch (kernel) {
    case FieldKernel::avx512:
        return "avx512f and avx512vl";
    case FieldKernel::avx2:
        return "avx2 and fma";
    case FieldKernel::plain:
    case FieldKernel::sse2:
        break;
    }
    return "nothing";
}

inline bool isFieldKernelSupported(FieldKernel kernel) {
    __builtin_cpu_init();
    switch (kernel) {
    case FieldKernel::avx512:
        return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl");
    case FieldKernel::avx2:
        return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    case FieldKernel::plain:
    case FieldKernel::sse2:
        return true;
    }
    return false;
}

// The widest kernel this processor runs; never plain, since SSE2 is part of every x86-64.
inline FieldKernel fastestFieldKernel() {
    if (isFieldKernelSupported(FieldKernel::avx512)) {
        return FieldKernel::avx512;
    }
    if (isFieldKernelSupported(FieldKernel::avx2)) {
        return FieldKernel::avx2;
    }
    return FieldKernel::sse2;
}

constexpr const char* fieldKernelName(FieldKernel kernel) {
    switch (kernel) {
    case FieldKernel::plain:
        return "plain";
    case FieldKernel::sse2:
        return "sse2";
    case FieldKernel::avx2:
        return "avx2";
    case FieldKernel::avx512:
        return "avx512";
    }
    return "unknown";
}

} // namespace velmorra
