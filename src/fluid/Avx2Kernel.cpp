#include "fluid/Avx2Kernel.h"

#include "fluid/BlockLanes.h"
#include "fluid/PlainKernel.h"

#include <immintrin.h>

#include <algorithm>
#include <bit>
#include <limits>
#include <vector>

// This file must be compiled with -ffp-contract=off: a fused multiply-add that the compiler chose
// would round differently from the plain kernel. The reciprocal below uses fused multiply-adds on
// purpose, written out, where the extra precision is what makes it exact.

namespace velmorra {

namespace {

// The reciprocal is built from the processor's approximation by a short series and one fused
// correction, which rounds to the correctly rounded reciprocal of any float widened to double;
// Avx512Kernel.cpp gives the argument.
//
// The float rcp y0 is within 1.5 * 2^-12, so with e = 1 - x y0 the three terms of
// y1 = y0 (1 + e + e^2 + e^3) bring y1 within 2^-45. It is only good for normal floats whose
// reciprocal is normal too; the kernel sends others to the divider.
[[gnu::target("avx2,fma"), gnu::always_inline]] inline __m256d
fastReciprocal(__m256d x, __m128 approximation) {
    const __m256d one = _mm256_set1_pd(1.0);
    const __m256d y0 = _mm256_cvtps_pd(approximation);
    const __m256d e = _mm256_fnmadd_pd(x, y0, one);
    const __m256d series = _mm256_fmadd_pd(_mm256_fmadd_pd(e, e, e), e, e);
    const __m256d y1 = _mm256_fmadd_pd(y0, series, y0);
    return _mm256_fmadd_pd(y1, _mm256_fnmadd_pd(x, y1, one), y1);
}

// The range of squared distances that the reciprocal takes: from the smallest normal float up to
// a value whose reciprocal is still a normal float.
constexpr float lowestForFloatRcp = 0x1p-126f;
constexpr float highestForFloatRcp = 0x1p125f;

[[gnu::target("avx2,fma"), gnu::always_inline]] inline __m256
squaredDistances(__m256 x, __m256 y, __m256 z, const Vector3& particle) {
    const __m256 dx = _mm256_sub_ps(x, _mm256_set1_ps(particle.x));
    const __m256 dy = _mm256_sub_ps(y, _mm256_set1_ps(particle.y));
    const __m256 dz = _mm256_sub_ps(z, _mm256_set1_ps(particle.z));
    return _mm256_add_ps(_mm256_add_ps(_mm256_mul_ps(dx, dx), _mm256_mul_ps(dy, dy)),
                         _mm256_mul_ps(dz, dz));
}

// The sums of eight samples' reciprocals, the lower four and the upper four.
[[gnu::target("avx2,fma"), gnu::always_inline]] inline void
addReciprocals(__m256 squared, __m256d& lower, __m256d& upper) {
    const __m256 approximation = _mm256_rcp_ps(squared);
    lower = _mm256_add_pd(lower, fastReciprocal(_mm256_cvtps_pd(_mm256_castps256_ps128(squared)),
                                                _mm256_castps256_ps128(approximation)));
    upper = _mm256_add_pd(upper, fastReciprocal(_mm256_cvtps_pd(_mm256_extractf128_ps(squared, 1)),
                                                _mm256_extractf128_ps(approximation, 1)));
}

// The smallest and largest of a set of squared distances.
struct SquaredRange {
    float lowest;
    float highest;
};

// NaNs are passed over, as in the in-plane range below.
SquaredRange rangeOf(std::span<const float> values) {
    SquaredRange range{std::numeric_limits<float>::infinity(), 0.0f};
    for (const float value : values) {
        range.lowest = value < range.lowest ? value : range.lowest;
        range.highest = value > range.highest ? value : range.highest;
    }
    return range;
}

// Every squared distance of a block is (in-plane + dz^2) rounded, so it lies between the
// rounded sums of the smallest and of the largest parts; checking those two shows whether the
// whole block is in the float reciprocal's range.
bool inFloatRcpRange(const SquaredRange& inPlane, const SquaredRange& planes) {
    const float lowest = inPlane.lowest + planes.lowest;
    const float highest = inPlane.highest + planes.highest;
    return lowest >= lowestForFloatRcp && highest < highestForFloatRcp;
}

// The grid pass: each particle's squared distance to sample (i, j, k) is (dx_i^2 + dy_j^2) +
// dz_k^2 in float, the same operations in the same order as the plain pass. The in-plane part of
// a block is the same in every plane, so it is made once per particle and block, and each plane
// only adds its dz^2. A block is taken through two planes at once with every sum held in a
// register from the first particle to the last, still in index order.
//
// A NaN is left out of the range: it makes the sums NaN, which sends the block to the divider.
[[gnu::target("avx2,fma")]] SquaredRange fillInPlane(const BlockLanes& lanes,
                                                     std::span<const Vector3> particles,
                                                     std::vector<float>& inPlane) {
    inPlane.resize(particles.size() * fieldBlockSize);
    __m256 lowest = _mm256_set1_ps(std::numeric_limits<float>::infinity());
    __m256 highest = _mm256_setzero_ps();
    for (int half = 0; half < fieldBlockSize; half += 8) {
        const __m256 x = _mm256_loadu_ps(lanes.x + half);
        const __m256 y = _mm256_loadu_ps(lanes.y + half);
        alignas(32) float outsideBits[8];
        for (int lane = 0; lane < 8; ++lane) {
            outsideBits[lane] = lanes.inPlane[half + lane] ? 0.0f : -1.0f;
        }
        const __m256 outside = _mm256_load_ps(outsideBits);
        for (std::size_t p = 0; p < particles.size(); ++p) {
            const __m256 dx = _mm256_sub_ps(x, _mm256_set1_ps(particles[p].x));
            const __m256 dy = _mm256_sub_ps(y, _mm256_set1_ps(particles[p].y));
            const __m256 squared =
                _mm256_blendv_ps(_mm256_add_ps(_mm256_mul_ps(dx, dx), _mm256_mul_ps(dy, dy)),
                                 _mm256_set1_ps(1.0f), outside);
            lowest = _mm256_min_ps(squared, lowest);
            highest = _mm256_max_ps(squared, highest);
            _mm256_storeu_ps(&inPlane[p * fieldBlockSize + half], squared);
        }
    }
    alignas(32) float lows[8];
    alignas(32) float highs[8];
    _mm256_store_ps(lows, lowest);
    _mm256_store_ps(highs, highest);
    return {*std::min_element(lows, lows + 8), *std::max_element(highs, highs + 8)};
}

template <int planes>
[[gnu::target("avx2,fma"), gnu::always_inline]] inline void
sumHalfBlockPlanes(const float* inPlane, const float* squaredZ, std::size_t planeCount,
                   std::size_t particleCount, double* sums, std::size_t stride) {
    __m256d lower[planes];
    __m256d upper[planes];
    for (int q = 0; q < planes; ++q) {
        lower[q] = _mm256_setzero_pd();
        upper[q] = _mm256_setzero_pd();
    }
    for (std::size_t p = 0; p < particleCount; ++p) {
        const __m256 inPlaneSquared = _mm256_loadu_ps(inPlane + p * fieldBlockSize);
        const float* planeSquared = squaredZ + p * planeCount;
        for (int q = 0; q < planes; ++q) {
            addReciprocals(_mm256_add_ps(inPlaneSquared, _mm256_set1_ps(planeSquared[q])), lower[q],
                           upper[q]);
        }
    }
    for (int q = 0; q < planes; ++q) {
        _mm256_storeu_pd(sums + q * stride, lower[q]);
        _mm256_storeu_pd(sums + q * stride + 4, upper[q]);
    }
}

constexpr int planesPerSweep = 2;

[[gnu::target("avx2,fma")]] void sumBlock(const float* inPlane, const float* squaredZ,
                                          std::size_t planeCount, std::size_t particleCount,
                                          double* sums, std::size_t stride) {
    for (int half = 0; half < fieldBlockSize; half += 8) {
        for (std::size_t k = 0; k < planeCount; k += planesPerSweep) {
            double* planeSums = sums + k * stride + half;
            if (planeCount - k >= planesPerSweep) {
                sumHalfBlockPlanes<2>(inPlane + half, squaredZ + k, planeCount, particleCount,
                                      planeSums, stride);
            } else {
                sumHalfBlockPlanes<1>(inPlane + half, squaredZ + k, planeCount, particleCount,
                                      planeSums, stride);
            }
        }
    }
}

[[gnu::target("avx2,fma")]] bool anyUnordered(const double* block) {
    __m256d unordered = _mm256_setzero_pd();
    for (int q = 0; q < fieldBlockSize; q += 4) {
        const __m256d sums = _mm256_loadu_pd(block + q);
        unordered = _mm256_or_pd(unordered, _mm256_cmp_pd(sums, sums, _CMP_UNORD_Q));
    }
    return _mm256_movemask_pd(unordered) != 0;
}

} // namespace

// The squared distances' smallest and largest values show whether every one was in the float
// reciprocal's range; a NaN makes the sums NaN. Either sends the block to the plain kernel.
void Avx2Kernel::accumulateDensities(const SampleColumns& samples,
                                     std::span<const Vector3> particles,
                                     std::span<double> densities) {
    for (std::size_t base = 0; base + 8 <= densities.size(); base += 8) {
        const __m256 x = _mm256_loadu_ps(&samples.x[base]);
        const __m256 y = _mm256_loadu_ps(&samples.y[base]);
        const __m256 z = _mm256_loadu_ps(&samples.z[base]);
        __m256d lower = _mm256_setzero_pd();
        __m256d upper = _mm256_setzero_pd();
        __m256 lowest = _mm256_set1_ps(lowestForFloatRcp);
        __m256 highest = _mm256_setzero_ps();
        for (const Vector3& particle : particles) {
            const __m256 squared = squaredDistances(x, y, z, particle);
            lowest = _mm256_min_ps(lowest, squared);
            highest = _mm256_max_ps(highest, squared);
            addReciprocals(squared, lower, upper);
        }
        const __m256 outOfRange =
            _mm256_or_ps(_mm256_cmp_ps(lowest, _mm256_set1_ps(lowestForFloatRcp), _CMP_LT_OQ),
                         _mm256_cmp_ps(highest, _mm256_set1_ps(highestForFloatRcp), _CMP_GE_OQ));
        const __m256d unordered = _mm256_or_pd(_mm256_cmp_pd(lower, lower, _CMP_UNORD_Q),
                                               _mm256_cmp_pd(upper, upper, _CMP_UNORD_Q));
        if ((_mm256_movemask_ps(outOfRange) | _mm256_movemask_pd(unordered)) != 0) {
            PlainKernel::accumulateDensities({samples.x.subspan(base, 8),
                                              samples.y.subspan(base, 8),
                                              samples.z.subspan(base, 8)},
                                             particles, densities.subspan(base, 8));
            continue;
        }
        _mm256_storeu_pd(&densities[base], lower);
        _mm256_storeu_pd(&densities[base + 4], upper);
    }
}

void Avx2Kernel::accumulateGridDensities(const GridAxes& axes, const float* squaredZ,
                                         int firstBlock, int endBlock,
                                         std::span<const Vector3> particles,
                                         std::span<double> densities) {
    const std::size_t stride = fieldPlaneStride(axes.x.size());
    const std::size_t planeCount = axes.z.size();
    thread_local std::vector<float> inPlane;
    const SquaredRange planes = rangeOf({squaredZ, planeCount * particles.size()});
    for (int block = firstBlock; block < endBlock; ++block) {
        const std::size_t base = static_cast<std::size_t>(block) * fieldBlockSize;
        const bool fast =
            inFloatRcpRange(fillInPlane(BlockLanes::of(axes, base), particles, inPlane), planes);
        if (fast) {
            sumBlock(inPlane.data(), squaredZ, planeCount, particles.size(), &densities[base],
                     stride);
        }
        for (std::size_t k = 0; k < planeCount; ++k) {
            double* sums = &densities[k * stride + base];
            if (!fast || anyUnordered(sums)) {
                PlainKernel::accumulateGridBlock(axes, k, base, particles, sums);
            }
        }
    }
}

std::size_t Avx2Kernel::reciprocalsOfFloats(std::span<const float> values,
                                            std::span<double> reciprocals) {
    std::size_t divided = 0;
    for (std::size_t base = 0; base + 4 <= values.size(); base += 4) {
        const __m128 single = _mm_loadu_ps(&values[base]);
        const __m256d x = _mm256_cvtps_pd(single);
        __m256d reciprocal = fastReciprocal(x, _mm_rcp_ps(single));
        const __m128 outOfRange =
            _mm_or_ps(_mm_cmp_ps(single, _mm_set1_ps(lowestForFloatRcp), _CMP_NGE_UQ),
                      _mm_cmp_ps(single, _mm_set1_ps(highestForFloatRcp), _CMP_NLT_UQ));
        const __m256d divide =
            _mm256_or_pd(_mm256_castsi256_pd(_mm256_cvtepi32_epi64(_mm_castps_si128(outOfRange))),
                         _mm256_cmp_pd(reciprocal, reciprocal, _CMP_UNORD_Q));
        const int divideMask = _mm256_movemask_pd(divide);
        if (divideMask != 0) {
            divided += static_cast<std::size_t>(std::popcount(static_cast<unsigned>(divideMask)));
            reciprocal =
                _mm256_blendv_pd(reciprocal, _mm256_div_pd(_mm256_set1_pd(1.0), x), divide);
        }
        _mm256_storeu_pd(&reciprocals[base], reciprocal);
    }
    return divided;
}

} // namespace velmorra
