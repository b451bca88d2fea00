#include "fluid/FieldKernel.h"

#include <immintrin.h>

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

// This file must be compiled with -ffp-contract=off: a fused multiply-add that the compiler chose
// would round differently from the plain field pass. The reciprocals below use fused
// multiply-adds on purpose, written out, where the extra precision is what makes them exact.

namespace velmorra {

namespace {

using Floats4 [[gnu::vector_size(16)]] = float;
using Floats8 [[gnu::vector_size(32)]] = float;
using Floats16 [[gnu::vector_size(64)]] = float;
using Doubles2 [[gnu::vector_size(16)]] = double;
using Doubles4 [[gnu::vector_size(32)]] = double;
using Doubles8 [[gnu::vector_size(64)]] = double;

// One block covers as many samples as Floats holds; their squared distances are widened into two
// Doubles, the lower and the upper half, each with its own running sum. Always inlined, so that
// the vector code is generated for the instruction set of the calling kernel.
template <typename Floats, typename Doubles, std::size_t... Half>
[[gnu::always_inline]] inline void
divideBlock(const SampleColumns& samples, std::span<const Vector3> particles,
            std::span<double> densities, std::size_t base, std::index_sequence<Half...>) {
    constexpr std::size_t half = sizeof...(Half);
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
        lower += 1.0 / __builtin_convertvector(__builtin_shufflevector(squared, squared, Half...),
                                               Doubles);
        upper += 1.0 / __builtin_convertvector(
                           __builtin_shufflevector(squared, squared, (half + Half)...), Doubles);
    }
    std::memcpy(&densities[base], &lower, sizeof lower);
    std::memcpy(&densities[base + half], &upper, sizeof upper);
}

void accumulateSse2(const SampleColumns& samples, std::span<const Vector3> particles,
                    std::span<double> densities) {
    for (std::size_t base = 0; base + 4 <= densities.size(); base += 4) {
        divideBlock<Floats4, Doubles2>(samples, particles, densities, base,
                                       std::make_index_sequence<2>());
    }
}

// The vector kernels below take the reciprocal of each squared distance without the divider,
// which handles only a few lanes at a time. Every squared distance is a float widened to double,
// so its significand has at most 24 bits. From the processor's approximation y0, with
// e = 1 - x y0, a few terms of y1 = y0 (1 + e + e^2 + ...) bring y1 within 2^-42 of 1 / x. Then
// r = 1 - x y1 is exact in one fused multiply-add (below 2^-42, from a 24-bit x, it needs fewer
// than 53 bits), and y = y1 + y1 r, rounded once by the last fused multiply-add, differs from
// 1 / x by about r^2, under 2^-84 relative. With no more than 24 significant bits in x, 1 / x
// stays some 2^-78 or more away from every halfway point between two doubles, so y rounds to
// the correctly rounded reciprocal. The reciprocal check program tries every positive float.

// GCC 12 warns of uninitialised lanes in the unmasked forms of some AVX-512 intrinsics; the
// masked forms with every lane selected are the same instructions.
constexpr __mmask8 allLanes = 0xFF;

// rcp14 is within 2^-14, so two terms bring y1 within 2^-42. Zero and infinity, for which the
// approximation is infinity and zero, come out as NaN.
[[gnu::target("avx512f"), gnu::always_inline]] inline __m512d fastReciprocal(__m512d x) {
    const __m512d one = _mm512_set1_pd(1.0);
    const __m512d y0 = _mm512_maskz_rcp14_pd(allLanes, x);
    const __m512d e = _mm512_fnmadd_pd(x, y0, one);
    const __m512d series = _mm512_fmadd_pd(e, e, e);
    const __m512d y1 = _mm512_fmadd_pd(y0, series, y0);
    return _mm512_fmadd_pd(y1, _mm512_fnmadd_pd(x, y1, one), y1);
}

// The float rcp is within 1.5 * 2^-12, so three terms bring y1 within 2^-45. It is only good for
// normal floats whose reciprocal is normal too; the kernel sends others to the divider.
[[gnu::target("avx2,fma"), gnu::always_inline]] inline __m256d fastReciprocal(__m256d x,
                                                                           __m128 approximation) {
    const __m256d one = _mm256_set1_pd(1.0);
    const __m256d y0 = _mm256_cvtps_pd(approximation);
    const __m256d e = _mm256_fnmadd_pd(x, y0, one);
    const __m256d series = _mm256_fmadd_pd(_mm256_fmadd_pd(e, e, e), e, e);
    const __m256d y1 = _mm256_fmadd_pd(y0, series, y0);
    return _mm256_fmadd_pd(y1, _mm256_fnmadd_pd(x, y1, one), y1);
}

// The range of squared distances that the AVX2 reciprocal takes: from the smallest normal float
// up to a value whose reciprocal is still a normal float.
constexpr float lowestForFloatRcp = 0x1p-126f;
constexpr float highestForFloatRcp = 0x1p125f;

[[gnu::target("avx512f"), gnu::always_inline]] inline __m512
squaredDistances(__m512 x, __m512 y, __m512 z, const Vector3& particle) {
    const __m512 dx = _mm512_sub_ps(x, _mm512_set1_ps(particle.x));
    const __m512 dy = _mm512_sub_ps(y, _mm512_set1_ps(particle.y));
    const __m512 dz = _mm512_sub_ps(z, _mm512_set1_ps(particle.z));
    return _mm512_add_ps(_mm512_add_ps(_mm512_mul_ps(dx, dx), _mm512_mul_ps(dy, dy)),
                         _mm512_mul_ps(dz, dz));
}

template <int half>
[[gnu::target("avx512f"), gnu::always_inline]] inline __m512d widenedHalf(__m512 values) {
    return _mm512_maskz_cvtps_pd(
        allLanes,
        _mm256_castpd_ps(_mm512_maskz_extractf64x4_pd(0xF, _mm512_castps_pd(values), half)));
}

[[gnu::target("avx2,fma"), gnu::always_inline]] inline __m256
squaredDistances(__m256 x, __m256 y, __m256 z, const Vector3& particle) {
    const __m256 dx = _mm256_sub_ps(x, _mm256_set1_ps(particle.x));
    const __m256 dy = _mm256_sub_ps(y, _mm256_set1_ps(particle.y));
    const __m256 dz = _mm256_sub_ps(z, _mm256_set1_ps(particle.z));
    return _mm256_add_ps(_mm256_add_ps(_mm256_mul_ps(dx, dx), _mm256_mul_ps(dy, dy)),
                         _mm256_mul_ps(dz, dz));
}

// A block whose sums came out NaN met a zero or infinite squared distance (or a NaN) somewhere;
// it is summed again with the divider, which gives the plain pass's bits in every case.
[[gnu::target("avx512f")]] void accumulateAvx512(const SampleColumns& samples,
                                                 std::span<const Vector3> particles,
                                                 std::span<double> densities) {
    for (std::size_t base = 0; base + 16 <= densities.size(); base += 16) {
        const __m512 x = _mm512_loadu_ps(&samples.x[base]);
        const __m512 y = _mm512_loadu_ps(&samples.y[base]);
        const __m512 z = _mm512_loadu_ps(&samples.z[base]);
        __m512d lower = _mm512_setzero_pd();
        __m512d upper = _mm512_setzero_pd();
        for (const Vector3& particle : particles) {
            const __m512 squared = squaredDistances(x, y, z, particle);
            lower = _mm512_add_pd(lower, fastReciprocal(widenedHalf<0>(squared)));
            upper = _mm512_add_pd(upper, fastReciprocal(widenedHalf<1>(squared)));
        }
        if ((_mm512_cmp_pd_mask(lower, lower, _CMP_UNORD_Q) |
             _mm512_cmp_pd_mask(upper, upper, _CMP_UNORD_Q)) != 0) {
            divideBlock<Floats16, Doubles8>(samples, particles, densities, base,
                                            std::make_index_sequence<8>());
            continue;
        }
        _mm512_storeu_pd(&densities[base], lower);
        _mm512_storeu_pd(&densities[base + 8], upper);
    }
}

// The squared distances' smallest and largest values show whether every one was in the float
// reciprocal's range; a NaN makes the sums NaN. Either sends the block to the divider.
[[gnu::target("avx2,fma")]] void accumulateAvx2(const SampleColumns& samples,
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
            const __m256 approximation = _mm256_rcp_ps(squared);
            lower = _mm256_add_pd(lower, fastReciprocal(_mm256_cvtps_pd(_mm256_castps256_ps128(squared)),
                                                        _mm256_castps256_ps128(approximation)));
            upper = _mm256_add_pd(upper, fastReciprocal(_mm256_cvtps_pd(_mm256_extractf128_ps(squared, 1)),
                                                        _mm256_extractf128_ps(approximation, 1)));
        }
        const __m256 outOfRange =
            _mm256_or_ps(_mm256_cmp_ps(lowest, _mm256_set1_ps(lowestForFloatRcp), _CMP_LT_OQ),
                         _mm256_cmp_ps(highest, _mm256_set1_ps(highestForFloatRcp), _CMP_GE_OQ));
        const __m256d unordered = _mm256_or_pd(_mm256_cmp_pd(lower, lower, _CMP_UNORD_Q),
                                               _mm256_cmp_pd(upper, upper, _CMP_UNORD_Q));
        if ((_mm256_movemask_ps(outOfRange) | _mm256_movemask_pd(unordered)) != 0) {
            divideBlock<Floats8, Doubles4>(samples, particles, densities, base,
                                           std::make_index_sequence<4>());
            continue;
        }
        _mm256_storeu_pd(&densities[base], lower);
        _mm256_storeu_pd(&densities[base + 4], upper);
    }
}

// The grid passes: each particle's squared distance to sample (i, j, k) is (dx_i^2 + dy_j^2) +
// dz_k^2 in float, the same operations in the same order as the plain pass. The in-plane part of
// a block of samples is the same in every plane, so it is made once per particle and block, and
// each plane only adds its dz^2. A block is taken through several planes at once with every sum
// held in a register from the first particle to the last, still in index order.

// Sample s of a plane lies at (x[s % n], y[s / n]); lanes past the plane's last sample are
// marked, and their in-plane squared distance is 1, which keeps their sums finite.
struct BlockLanes {
    float x[fieldBlockSize];
    float y[fieldBlockSize];
    bool inPlane[fieldBlockSize];
};

BlockLanes lanesOf(const GridAxes& axes, std::size_t base) {
    const std::size_t n = axes.x.size();
    BlockLanes lanes{};
    for (std::size_t lane = 0; lane < fieldBlockSize; ++lane) {
        const std::size_t s = base + lane;
        lanes.inPlane[lane] = s < n * axes.y.size();
        lanes.x[lane] = lanes.inPlane[lane] ? axes.x[s % n] : 0.0f;
        lanes.y[lane] = lanes.inPlane[lane] ? axes.y[s / n] : 0.0f;
    }
    return lanes;
}

// A block whose sums came out NaN, or whose squared distances a fast reciprocal cannot take, is
// summed again sample by sample with the divider.
void divideGridBlock(const GridAxes& axes, std::size_t k, std::size_t base,
                     std::span<const Vector3> particles, double* sums) {
    const std::size_t n = axes.x.size();
    for (std::size_t s = base; s < base + fieldBlockSize && s < n * axes.y.size(); ++s) {
        double value = 0.0;
        for (const Vector3& particle : particles) {
            const float dx = axes.x[s % n] - particle.x;
            const float dy = axes.y[s / n] - particle.y;
            const float dz = axes.z[k] - particle.z;
            value += 1.0 / (dx * dx + dy * dy + dz * dz);
        }
        sums[s - base] = value;
    }
}

[[gnu::target("avx512f")]] void fillInPlaneAvx512(const BlockLanes& lanes,
                                                  std::span<const Vector3> particles,
                                                  std::vector<float>& inPlane) {
    inPlane.resize(particles.size() * fieldBlockSize);
    const __m512 x = _mm512_loadu_ps(lanes.x);
    const __m512 y = _mm512_loadu_ps(lanes.y);
    __mmask16 outside = 0;
    for (int lane = 0; lane < fieldBlockSize; ++lane) {
        outside |= static_cast<__mmask16>(!lanes.inPlane[lane] << lane);
    }
    for (std::size_t p = 0; p < particles.size(); ++p) {
        const __m512 dx = _mm512_sub_ps(x, _mm512_set1_ps(particles[p].x));
        const __m512 dy = _mm512_sub_ps(y, _mm512_set1_ps(particles[p].y));
        const __m512 squared = _mm512_add_ps(_mm512_mul_ps(dx, dx), _mm512_mul_ps(dy, dy));
        _mm512_storeu_ps(&inPlane[p * fieldBlockSize],
                         _mm512_mask_blend_ps(outside, squared, _mm512_set1_ps(1.0f)));
    }
}

template <int planes>
[[gnu::target("avx512f"), gnu::always_inline]] inline void
sumBlockPlanesAvx512(const float* inPlane, const float* squaredZ, std::size_t planeCount,
                     std::size_t particleCount, double* sums, std::size_t stride) {
    __m512d lower[planes];
    __m512d upper[planes];
    for (int q = 0; q < planes; ++q) {
        lower[q] = _mm512_setzero_pd();
        upper[q] = _mm512_setzero_pd();
    }
    for (std::size_t p = 0; p < particleCount; ++p) {
        const __m512 inPlaneSquared = _mm512_loadu_ps(inPlane + p * fieldBlockSize);
        const float* planeSquared = squaredZ + p * planeCount;
        for (int q = 0; q < planes; ++q) {
            const __m512 squared = _mm512_add_ps(inPlaneSquared, _mm512_set1_ps(planeSquared[q]));
            lower[q] = _mm512_add_pd(lower[q], fastReciprocal(widenedHalf<0>(squared)));
            upper[q] = _mm512_add_pd(upper[q], fastReciprocal(widenedHalf<1>(squared)));
        }
    }
    for (int q = 0; q < planes; ++q) {
        _mm512_storeu_pd(sums + q * stride, lower[q]);
        _mm512_storeu_pd(sums + q * stride + 8, upper[q]);
    }
}

// As many planes at a time as leave room in the registers for the reciprocals.
constexpr int planesPerSweepAvx512 = 4;

template <int planes>
[[gnu::target("avx512f"), gnu::always_inline]] inline void
sumBlockLastPlanesAvx512(std::size_t left, const float* inPlane, const float* squaredZ,
                         std::size_t planeCount, std::size_t particleCount, double* sums,
                         std::size_t stride) {
    if constexpr (planes > 1) {
        if (left < planes) {
            sumBlockLastPlanesAvx512<planes - 1>(left, inPlane, squaredZ, planeCount,
                                                 particleCount, sums, stride);
            return;
        }
    }
    sumBlockPlanesAvx512<planes>(inPlane, squaredZ, planeCount, particleCount, sums, stride);
}

[[gnu::target("avx512f")]] void sumBlockAvx512(const float* inPlane, const float* squaredZ,
                                               std::size_t planeCount, std::size_t particleCount,
                                               double* sums, std::size_t stride) {
    std::size_t k = 0;
    for (; k + planesPerSweepAvx512 <= planeCount; k += planesPerSweepAvx512) {
        sumBlockPlanesAvx512<planesPerSweepAvx512>(inPlane, squaredZ + k, planeCount,
                                                   particleCount, sums + k * stride, stride);
    }
    if (k < planeCount) {
        sumBlockLastPlanesAvx512<planesPerSweepAvx512 - 1>(planeCount - k, inPlane, squaredZ + k,
                                                           planeCount, particleCount,
                                                           sums + k * stride, stride);
    }
}

[[gnu::target("avx512f")]] bool anyUnorderedAvx512(const double* block) {
    const __m512d lower = _mm512_loadu_pd(block);
    const __m512d upper = _mm512_loadu_pd(block + 8);
    return (_mm512_cmp_pd_mask(lower, lower, _CMP_UNORD_Q) |
            _mm512_cmp_pd_mask(upper, upper, _CMP_UNORD_Q)) != 0;
}

[[gnu::target("avx512f")]] void accumulateGridAvx512(const GridAxes& axes, const float* squaredZ,
                                                     int firstBlock, int endBlock,
                                                     std::span<const Vector3> particles,
                                                     std::span<double> densities) {
    const std::size_t stride = fieldPlaneStride(axes.x.size());
    const std::size_t planeCount = axes.z.size();
    thread_local std::vector<float> inPlane;
    for (int block = firstBlock; block < endBlock; ++block) {
        const std::size_t base = static_cast<std::size_t>(block) * fieldBlockSize;
        fillInPlaneAvx512(lanesOf(axes, base), particles, inPlane);
        sumBlockAvx512(inPlane.data(), squaredZ, planeCount, particles.size(),
                       &densities[base], stride);
        for (std::size_t k = 0; k < planeCount; ++k) {
            double* sums = &densities[k * stride + base];
            if (anyUnorderedAvx512(sums)) {
                divideGridBlock(axes, k, base, particles, sums);
            }
        }
    }
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

// A NaN is left out of the range: it makes the sums NaN, which sends the block to the divider.
[[gnu::target("avx2,fma")]] SquaredRange fillInPlaneAvx2(const BlockLanes& lanes,
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
sumHalfBlockPlanesAvx2(const float* inPlane, const float* squaredZ, std::size_t planeCount,
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
            const __m256 squared = _mm256_add_ps(inPlaneSquared, _mm256_set1_ps(planeSquared[q]));
            const __m256 approximation = _mm256_rcp_ps(squared);
            lower[q] = _mm256_add_pd(
                lower[q], fastReciprocal(_mm256_cvtps_pd(_mm256_castps256_ps128(squared)),
                                         _mm256_castps256_ps128(approximation)));
            upper[q] = _mm256_add_pd(
                upper[q], fastReciprocal(_mm256_cvtps_pd(_mm256_extractf128_ps(squared, 1)),
                                         _mm256_extractf128_ps(approximation, 1)));
        }
    }
    for (int q = 0; q < planes; ++q) {
        _mm256_storeu_pd(sums + q * stride, lower[q]);
        _mm256_storeu_pd(sums + q * stride + 4, upper[q]);
    }
}

constexpr int planesPerSweepAvx2 = 2;

[[gnu::target("avx2,fma")]] void sumBlockAvx2(const float* inPlane, const float* squaredZ,
                                              std::size_t planeCount, std::size_t particleCount,
                                              double* sums, std::size_t stride) {
    for (int half = 0; half < fieldBlockSize; half += 8) {
        for (std::size_t k = 0; k < planeCount; k += planesPerSweepAvx2) {
            double* planeSums = sums + k * stride + half;
            if (planeCount - k >= planesPerSweepAvx2) {
                sumHalfBlockPlanesAvx2<2>(inPlane + half, squaredZ + k, planeCount, particleCount,
                                          planeSums, stride);
            } else {
                sumHalfBlockPlanesAvx2<1>(inPlane + half, squaredZ + k, planeCount, particleCount,
                                          planeSums, stride);
            }
        }
    }
}

[[gnu::target("avx2,fma")]] bool anyUnorderedAvx2(const double* block) {
    __m256d unordered = _mm256_setzero_pd();
    for (int q = 0; q < fieldBlockSize; q += 4) {
        const __m256d sums = _mm256_loadu_pd(block + q);
        unordered = _mm256_or_pd(unordered, _mm256_cmp_pd(sums, sums, _CMP_UNORD_Q));
    }
    return _mm256_movemask_pd(unordered) != 0;
}

[[gnu::target("avx2,fma")]] void accumulateGridAvx2(const GridAxes& axes, const float* squaredZ,
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
            inFloatRcpRange(fillInPlaneAvx2(lanesOf(axes, base), particles, inPlane), planes);
        if (fast) {
            sumBlockAvx2(inPlane.data(), squaredZ, planeCount, particles.size(),
                         &densities[base], stride);
        }
        for (std::size_t k = 0; k < planeCount; ++k) {
            double* sums = &densities[k * stride + base];
            if (!fast || anyUnorderedAvx2(sums)) {
                divideGridBlock(axes, k, base, particles, sums);
            }
        }
    }
}

[[gnu::target("avx512f")]] std::size_t reciprocalsAvx512(std::span<const float> values,
                                                         std::span<double> reciprocals) {
    std::size_t divided = 0;
    for (std::size_t base = 0; base + 8 <= values.size(); base += 8) {
        const __m512d x = _mm512_maskz_cvtps_pd(allLanes, _mm256_loadu_ps(&values[base]));
        __m512d reciprocal = fastReciprocal(x);
        const __mmask8 unordered = _mm512_cmp_pd_mask(reciprocal, reciprocal, _CMP_UNORD_Q);
        if (unordered != 0) {
            divided += static_cast<std::size_t>(std::popcount(static_cast<unsigned>(unordered)));
            reciprocal = _mm512_mask_div_pd(reciprocal, unordered, _mm512_set1_pd(1.0), x);
        }
        _mm512_storeu_pd(&reciprocals[base], reciprocal);
    }
    return divided;
}

[[gnu::target("avx2,fma")]] std::size_t reciprocalsAvx2(std::span<const float> values,
                                                        std::span<double> reciprocals) {
    std::size_t divided = 0;
    for (std::size_t base = 0; base + 4 <= values.size(); base += 4) {
        const __m128 single = _mm_loadu_ps(&values[base]);
        const __m256d x = _mm256_cvtps_pd(single);
        __m256d reciprocal = fastReciprocal(x, _mm_rcp_ps(single));
        const __m128 outOfRange =
            _mm_or_ps(_mm_cmp_ps(single, _mm_set1_ps(lowestForFloatRcp), _CMP_NGE_UQ),
                      _mm_cmp_ps(single, _mm_set1_ps(highestForFloatRcp), _CMP_NLT_UQ));
        const __m256d divide = _mm256_or_pd(
            _mm256_castsi256_pd(_mm256_cvtepi32_epi64(_mm_castps_si128(outOfRange))),
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

[[gnu::target("avx512f")]] std::uint64_t belowLevelMaskAvx512(std::span<const double> values,
                                                               double level) {
    const __m512d levels = _mm512_set1_pd(level);
    std::uint64_t mask = 0;
    for (std::size_t i = 0; i < values.size(); i += 8) {
        const auto lanes =
            static_cast<__mmask8>(values.size() - i >= 8 ? 0xFF : (1u << (values.size() - i)) - 1);
        const __m512d row = _mm512_maskz_loadu_pd(lanes, &values[i]);
        mask |= static_cast<std::uint64_t>(_mm512_mask_cmp_pd_mask(lanes, row, levels, _CMP_LT_OQ))
                << i;
    }
    return mask;
}

void settleInnerRowScalar(const double* values, std::ptrdiff_t row, std::ptrdiff_t layer,
                          GridPoint* points, int first, int end) {
    for (int i = first; i < end; ++i) {
        const double* v = values + i;
        points[i].value = *v;
        points[i].normal.set(static_cast<float>(v[-1] - v[1]), static_cast<float>(v[-row] - v[row]),
                             static_cast<float>(v[layer] - v[-layer]));
    }
}

// Eight points at a time: the normals' components and the values are interleaved two points to
// a vector, in the layout of the points' last 20 bytes, and stored with a mask that leaves the
// positions alone.
static_assert(sizeof(GridPoint) == 32 && offsetof(GridPoint, normal) == 12 &&
              offsetof(GridPoint, value) == 24);

struct SettleIndices {
    alignas(64) std::int32_t normals[4][16];
    alignas(64) std::int32_t values[4][16];
};

constexpr SettleIndices makeSettleIndices() {
    SettleIndices indices{};
    for (int pair = 0; pair < 4; ++pair) {
        for (int point = 0; point < 2; ++point) {
            const int at = 8 * point;
            const int p = 2 * pair + point;
            // From [x0..x7 | y0..y7] and [z0..z7 | -], then the value's two halves from the values.
            indices.normals[pair][at + 3] = p;
            indices.normals[pair][at + 4] = 8 + p;
            indices.normals[pair][at + 5] = 16 + p;
            for (int d = 3; d < 6; ++d) {
                indices.values[pair][at + d] = at + d;
            }
            indices.values[pair][at + 6] = 16 + 2 * p;
            indices.values[pair][at + 7] = 16 + 2 * p + 1;
        }
    }
    return indices;
}

constexpr SettleIndices settleIndices = makeSettleIndices();

[[gnu::target("avx512f")]] void settleInnerRowAvx512(const double* values, std::ptrdiff_t row,
                                                     std::ptrdiff_t layer, GridPoint* points,
                                                     int first, int end) {
    for (int i = first; i < end; i += 8) {
        const int count = std::min(8, end - i);
        const auto lanes = static_cast<__mmask8>((1u << count) - 1);
        const double* v = values + i;
        const __m256 x = _mm512_maskz_cvtpd_ps(allLanes, 
            _mm512_sub_pd(_mm512_maskz_loadu_pd(lanes, v - 1), _mm512_maskz_loadu_pd(lanes, v + 1)));
        const __m256 y = _mm512_maskz_cvtpd_ps(allLanes, _mm512_sub_pd(_mm512_maskz_loadu_pd(lanes, v - row),
                                                       _mm512_maskz_loadu_pd(lanes, v + row)));
        const __m256 z = _mm512_maskz_cvtpd_ps(allLanes, _mm512_sub_pd(_mm512_maskz_loadu_pd(lanes, v + layer),
                                                       _mm512_maskz_loadu_pd(lanes, v - layer)));
        const __m512d lower = _mm512_maskz_insertf64x4(allLanes, _mm512_setzero_pd(),
                                                        _mm256_castps_pd(x), 0);
        const __m512 xy = _mm512_castpd_ps(
            _mm512_maskz_insertf64x4(allLanes, lower, _mm256_castps_pd(y), 1));
        const __m512 zz = _mm512_castpd_ps(_mm512_maskz_insertf64x4(
            allLanes, _mm512_setzero_pd(), _mm256_castps_pd(z), 0));
        const __m512 value = _mm512_castpd_ps(_mm512_maskz_loadu_pd(lanes, v));
        for (int pair = 0; 2 * pair < count; ++pair) {
            const __m512 normals = _mm512_permutex2var_ps(
                xy, _mm512_load_si512(settleIndices.normals[pair]), zz);
            const __m512 both = _mm512_permutex2var_ps(
                normals, _mm512_load_si512(settleIndices.values[pair]), value);
            const auto stored = static_cast<__mmask16>(2 * pair + 1 < count ? 0xF8F8 : 0x00F8);
            _mm512_mask_storeu_ps(&points[i + 2 * pair], stored, both);
        }
    }
}

} // namespace

void settleInnerRow(const double* values, std::ptrdiff_t row, std::ptrdiff_t layer,
                    GridPoint* points, int first, int end) {
    static const bool avx512 = isFieldKernelSupported(FieldKernel::avx512);
    avx512 ? settleInnerRowAvx512(values, row, layer, points, first, end)
           : settleInnerRowScalar(values, row, layer, points, first, end);
}

std::uint64_t belowLevelMask(std::span<const double> values, double level) {
    static const bool avx512 = isFieldKernelSupported(FieldKernel::avx512);
    values = values.first(std::min<std::size_t>(values.size(), 64));
    if (avx512) {
        return belowLevelMaskAvx512(values, level);
    }
    std::uint64_t mask = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        mask |= static_cast<std::uint64_t>(values[i] < level) << i;
    }
    return mask;
}

bool isFieldKernelSupported(FieldKernel kernel) {
    __builtin_cpu_init();
    switch (kernel) {
    case FieldKernel::avx512:
        return __builtin_cpu_supports("avx512f");
    case FieldKernel::avx2:
        return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
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

std::size_t fieldPlaneStride(std::size_t n) {
    const auto block = static_cast<std::size_t>(fieldBlockSize);
    return (n * n + block - 1) / block * block;
}

bool hasFieldGridPass(FieldKernel kernel) {
    return (kernel == FieldKernel::avx512 || kernel == FieldKernel::avx2) &&
           isFieldKernelSupported(kernel);
}

void fillPlaneOffsets(std::span<const float> axisZ, std::span<const Vector3> particles,
                      std::vector<float>& squaredZ) {
    squaredZ.resize(particles.size() * axisZ.size());
    float* next = squaredZ.data();
    for (const Vector3& particle : particles) {
        for (const float z : axisZ) {
            const float dz = z - particle.z;
            *next++ = dz * dz;
        }
    }
}

void accumulateGridDensities(FieldKernel kernel, const GridAxes& axes,
                             std::span<const float> squaredZ, int firstBlock, int endBlock,
                             std::span<const Vector3> particles, std::span<double> densities) {
    if (!hasFieldGridPass(kernel) || squaredZ.size() != axes.z.size() * particles.size()) {
        return;
    }
    kernel == FieldKernel::avx512
        ? accumulateGridAvx512(axes, squaredZ.data(), firstBlock, endBlock, particles, densities)
        : accumulateGridAvx2(axes, squaredZ.data(), firstBlock, endBlock, particles, densities);
}

std::size_t reciprocalsOfFloats(FieldKernel kernel, std::span<const float> values,
                                std::span<double> reciprocals) {
    if (kernel == FieldKernel::avx512 && isFieldKernelSupported(kernel)) {
        return reciprocalsAvx512(values, reciprocals);
    }
    if (kernel == FieldKernel::avx2 && isFieldKernelSupported(kernel)) {
        return reciprocalsAvx2(values, reciprocals);
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        reciprocals[i] = 1.0 / static_cast<double>(values[i]);
    }
    return values.size();
}

} // namespace velmorra
