#pragma once

#include "math/Vector3.h"

#include <cstddef>
#include <span>

namespace velmorra {

// Ways to run the liquid's number crunching, one per instruction set. All give the same bits: the
// plain kernel works one sample, particle or edge at a time and is the reference; the others only
// take several at once. KernelDispatch runs each job on the chosen kernel. The x86 kernels run in
// the native program, wasmSimd in the browser's; plain and sse2 (written with the compiler's
// vector types) in both.
enum class FieldKernel { plain, sse2, avx2, avx512, wasmSimd };

inline constexpr FieldKernel everyFieldKernel[] = {FieldKernel::plain, FieldKernel::sse2,
                                                   FieldKernel::avx2, FieldKernel::avx512,
                                                   FieldKernel::wasmSimd};

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

// The instructions a kernel needs beyond those every build of the program runs on.
constexpr const char* fieldKernelNeeds(FieldKernel kernel) {
    switch (kernel) {
    case FieldKernel::avx512:
        return "avx512f and avx512vl";
    case FieldKernel::avx2:
        return "avx2 and fma";
    case FieldKernel::wasmSimd:
        return "WebAssembly SIMD (the browser build)";
    case FieldKernel::plain:
    case FieldKernel::sse2:
        break;
    }
    return "nothing";
}

// Whether this build runs the kernel on this processor. The native build asks the processor;
// the browser build runs plain, sse2 and wasmSimd.
bool isFieldKernelSupported(FieldKernel kernel);

// The widest kernel this build runs here; never plain, since SSE2 is part of every x86-64 and
// the browser build has its own vector kernel.
FieldKernel fastestFieldKernel();

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
    case FieldKernel::wasmSimd:
        return "wasmSimd";
    }
    return "unknown";
}

} // namespace velmorra
