#include "fluid/FieldKernel.h"

#include <cstddef>
#include <cstring>
#include <utility>

// This file must be compiled with -ffp-contract=off: a fused multiply-add in the wider kernels
// would round differently from the plain field pass.

namespace velmorra {

namespace {

using Floats4 [[gnu::vector_size(16)]] = float;
using Floats8 [[gnu::vector_size(32)]] = float;
using Floats16 [[gnu::vector_size(64)]] = float;
using Doubles2 [[gnu::vector_size(16)]] = double;
using Doubles4 [[gnu::vector_size(32)]] = double;
using Doubles8 [[gnu::vector_size(64)]] = double;

// One step covers as many samples as Floats holds; their squared distances are widened into two
// Doubles, the lower and the upper half, each with its own running sum. Always inlined, so that
// the vector code is generated for the instruction set of the calling kernel.
template <typename Floats, typename Doubles, std::size_t... Half>
[[gnu::always_inline]] inline void
accumulateBlocks(const SampleColumns& samples, std::span<const Vector3> particles,
                 std::span<double> densities, std::index_sequence<Half...>) {
    constexpr std::size_t half = sizeof...(Half);
    for (std::size_t base = 0; base + 2 * half <= densities.size(); base += 2 * half) {
        Floats x;
        Floats y;
        Floats z;
        std::memcpy(&x, &samples.x[base], sizeof x);
        std::memcpy(&y, &samples.y[base], sizeof y);
        std::memcpy(&z, &samples.z[base], sizeof z);
        Doubles lower = {};
        Doubles upper = {};
        for (const Vector3& particle : particles) {
            const Floats dx = x - particle.x;
            const Floats dy = y - particle.y;
            const Floats dz = z - particle.z;
            const Floats squared = dx * dx + dy * dy + dz * dz;
            lower += 1.0 / __builtin_convertvector(
                               __builtin_shufflevector(squared, squared, Half...), Doubles);
            upper +=
                1.0 / __builtin_convertvector(
                          __builtin_shufflevector(squared, squared, (half + Half)...), Doubles);
        }
        std::memcpy(&densities[base], &lower, sizeof lower);
        std::memcpy(&densities[base + half], &upper, sizeof upper);
    }
}

void accumulateSse2(const SampleColumns& samples, std::span<const Vector3> particles,
                    std::span<double> densities) {
    accumulateBlocks<Floats4, Doubles2>(samples, particles, densities,
                                        std::make_index_sequence<2>());
}

[[gnu::target("avx2")]] void accumulateAvx2(const SampleColumns& samples,
                                            std::span<const Vector3> particles,
                                            std::span<double> densities) {
    accumulateBlocks<Floats8, Doubles4>(samples, particles, densities,
                                        std::make_index_sequence<4>());
}

[[gnu::target("avx512f")]] void accumulateAvx512(const SampleColumns& samples,
                                                 std::span<const Vector3> particles,
                                                 std::span<double> densities) {
    accumulateBlocks<Floats16, Doubles8>(samples, particles, densities,
                                         std::make_index_sequence<8>());
}

} // namespace

bool isFieldKernelSupported(FieldKernel kernel) {
    __builtin_cpu_init();
    switch (kernel) {
    case FieldKernel::avx512:
        return __builtin_cpu_supports("avx512f");
    case FieldKernel::avx2:
        return __builtin_cpu_supports("avx2");
    case FieldKernel::plain:
    case FieldKernel::sse2:
        return true;
    }
    return false;
}

FieldKernel fastestFieldKernel() {
    if (isFieldKernelSupported(FieldKernel::avx512)) {
        return FieldKernel::avx512;
    }
    if (isFieldKernelSupported(FieldKernel::avx2)) {
        return FieldKernel::avx2;
    }
    return FieldKernel::sse2;
}

const char* fieldKernelName(FieldKernel kernel) {
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

void accumulateDensities(FieldKernel kernel, const SampleColumns& samples,
                         std::span<const Vector3> particles, std::span<double> densities) {
    if (kernel == FieldKernel::avx512 && isFieldKernelSupported(kernel)) {
        accumulateAvx512(samples, particles, densities);
    } else if (kernel == FieldKernel::avx2 && isFieldKernelSupported(kernel)) {
        accumulateAvx2(samples, particles, densities);
    } else {
        accumulateSse2(samples, particles, densities);
    }
}

} // namespace velmorra
