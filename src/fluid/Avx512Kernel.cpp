#include "fluid/Avx512Kernel.h"

#include "fluid/BlockLanes.h"
#include "fluid/PlainKernel.h"

#include <immintrin.h>

#include <bit>
#include <vector>

// This file must be compiled with -ffp-contract=off: a fused multiply-add that the compiler chose
// would round differently from the plain kernel. The reciprocal below uses fused multiply-adds on
// purpose, written out, where the extra precision is what makes it exact.

namespace velmorra {

namespace {

// Every squared distance is a float widened to double, so its significand has at most 24 bits.
// From the processor's approximation y0, with e = 1 - x y0, a few terms of y1 = y0 (1 + e + e^2
// + ...) bring y1 within 2^-42 of 1 / x. Then r = 1 - x y1 is exact in one fused multiply-add
// (below 2^-42, from a 24-bit x, it needs fewer than 53 bits), and y = y1 + y1 r, rounded once by
// the last fused multiply-add, differs from 1 / x by about r^2, under 2^-84 relative. With no
// more than 24 significant bits in x, 1 / x stays some 2^-78 or more away from every halfway
// point between two doubles, so y rounds to the correctly rounded reciprocal. The reciprocal
// check program tries every positive float.

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
    return _mm512_maskz_cvtps_pd(allLanes, _mm256_castpd_ps(_mm512_maskz_extractf64x4_pd(
                                               0xF, _mm512_castps_pd(values), half)));
}

// The grid pass: each particle's squared distance to sample (i, j, k) is (dx_i^2 + dy_j^2) +
// dz_k^2 in float, the same operations in the same order as the plain pass. The in-plane part of
// a block is the same in every plane, so it is made once per particle and block, and each plane
// only adds its dz^2. A block is taken through several planes at once with every sum held in a
// register from the first particle to the last, still in index order.
[[gnu::target("avx512f")]] void fillInPlane(const BlockLanes& lanes,
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
sumBlockPlanes(const float* inPlane, const float* squaredZ, std::size_t planeCount,
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
constexpr int planesPerSweep = 4;

template <int planes>
[[gnu::target("avx512f"), gnu::always_inline]] inline void
sumBlockLastPlanes(std::size_t left, const float* inPlane, const float* squaredZ,
                   std::size_t planeCount, std::size_t particleCount, double* sums,
                   std::size_t stride) {
    if constexpr (planes > 1) {
        if (left < planes) {
            sumBlockLastPlanes<planes - 1>(left, inPlane, squaredZ, planeCount, particleCount, sums,
                                           stride);
            return;
        }
    }
    sumBlockPlanes<planes>(inPlane, squaredZ, planeCount, particleCount, sums, stride);
}

[[gnu::target("avx512f")]] void sumBlock(const float* inPlane, const float* squaredZ,
                                         std::size_t planeCount, std::size_t particleCount,
                                         double* sums, std::size_t stride) {
    std::size_t k = 0;
    for (; k + planesPerSweep <= planeCount; k += planesPerSweep) {
        sumBlockPlanes<planesPerSweep>(inPlane, squaredZ + k, planeCount, particleCount,
                                       sums + k * stride, stride);
    }
    if (k < planeCount) {
        sumBlockLastPlanes<planesPerSweep - 1>(planeCount - k, inPlane, squaredZ + k, planeCount,
                                               particleCount, sums + k * stride, stride);
    }
}

[[gnu::target("avx512f")]] bool anyUnordered(const double* block) {
    const __m512d lower = _mm512_loadu_pd(block);
    const __m512d upper = _mm512_loadu_pd(block + 8);
    return (_mm512_cmp_pd_mask(lower, lower, _CMP_UNORD_Q) |
            _mm512_cmp_pd_mask(upper, upper, _CMP_UNORD_Q)) != 0;
}

// Eight particles' pair forces at once, one particle a lane, with the same operations in the same
// order as the plain kernel, so each lane gets its bits: the squares summed in double, the square
// root rounded to float, and the terms added in index order, skipping the particle itself.
[[gnu::target("avx512f")]] void pairForcesOfEight(std::span<const Vector3> positions, int first,
                                                  const PairTerms& terms, Vector3* forces) {
    alignas(32) float lanes[3][8];
    for (int lane = 0; lane < 8; ++lane) {
        lanes[0][lane] = positions[first + lane].x;
        lanes[1][lane] = positions[first + lane].y;
        lanes[2][lane] = positions[first + lane].z;
    }
    const __m256 x = _mm256_load_ps(lanes[0]);
    const __m256 y = _mm256_load_ps(lanes[1]);
    const __m256 z = _mm256_load_ps(lanes[2]);
    const __m256i own =
        _mm256_add_epi32(_mm256_set1_epi32(first), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
    __m256 forceX = _mm256_setzero_ps();
    __m256 forceY = _mm256_setzero_ps();
    __m256 forceZ = _mm256_setzero_ps();
    for (int j = 0; j < static_cast<int>(positions.size()); ++j) {
        const __m256 dx = _mm256_sub_ps(x, _mm256_set1_ps(positions[j].x));
        const __m256 dy = _mm256_sub_ps(y, _mm256_set1_ps(positions[j].y));
        const __m256 dz = _mm256_sub_ps(z, _mm256_set1_ps(positions[j].z));
        const __m512d wideX = _mm512_maskz_cvtps_pd(allLanes, dx);
        const __m512d wideY = _mm512_maskz_cvtps_pd(allLanes, dy);
        const __m512d wideZ = _mm512_maskz_cvtps_pd(allLanes, dz);
        const __m512d squares =
            _mm512_add_pd(_mm512_add_pd(_mm512_mul_pd(wideX, wideX), _mm512_mul_pd(wideY, wideY)),
                          _mm512_mul_pd(wideZ, wideZ));
        __m256 r =
            _mm512_maskz_cvtpd_ps(allLanes, _mm512_maskz_sqrt_pd(allLanes, _mm512_abs_pd(squares)));
        r = _mm256_blendv_ps(r, _mm256_set1_ps(terms.nearest),
                             _mm256_cmp_ps(r, _mm256_set1_ps(terms.nearest), _CMP_LT_OQ));
        const __m256 q = _mm256_div_ps(_mm256_set1_ps(1.0f), r);
        const __m256 s = _mm256_mul_ps(
            _mm256_mul_ps(_mm256_sub_ps(q, _mm256_set1_ps(terms.inverseRest)), _mm256_mul_ps(q, q)),
            _mm256_set1_ps(terms.twiceMass));
        const __m256 other = _mm256_castsi256_ps(
            _mm256_xor_si256(_mm256_cmpeq_epi32(own, _mm256_set1_epi32(j)), _mm256_set1_epi32(-1)));
        forceX = _mm256_blendv_ps(forceX, _mm256_add_ps(forceX, _mm256_mul_ps(s, dx)), other);
        forceY = _mm256_blendv_ps(forceY, _mm256_add_ps(forceY, _mm256_mul_ps(s, dy)), other);
        forceZ = _mm256_blendv_ps(forceZ, _mm256_add_ps(forceZ, _mm256_mul_ps(s, dz)), other);
    }
    _mm256_store_ps(lanes[0], forceX);
    _mm256_store_ps(lanes[1], forceY);
    _mm256_store_ps(lanes[2], forceZ);
    for (int lane = 0; lane < 8; ++lane) {
        forces[lane].set(lanes[0][lane], lanes[1][lane], lanes[2][lane]);
    }
}

} // namespace

// A block whose sums came out NaN met a zero or infinite squared distance (or a NaN) somewhere;
// the plain kernel sums it again with the divider, which gives its bits in every case.
void Avx512Kernel::accumulateDensities(const SampleColumns& samples,
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
            PlainKernel::accumulateDensities({samples.x.subspan(base, 16),
                                              samples.y.subspan(base, 16),
                                              samples.z.subspan(base, 16)},
                                             particles, densities.subspan(base, 16));
            continue;
        }
        _mm512_storeu_pd(&densities[base], lower);
        _mm512_storeu_pd(&densities[base + 8], upper);
    }
}

void Avx512Kernel::accumulateGridDensities(const GridAxes& axes, const float* squaredZ,
                                           int firstBlock, int endBlock,
                                           std::span<const Vector3> particles,
                                           std::span<double> densities) {
    const std::size_t stride = fieldPlaneStride(axes.x.size());
    const std::size_t planeCount = axes.z.size();
    thread_local std::vector<float> inPlane;
    for (int block = firstBlock; block < endBlock; ++block) {
        const std::size_t base = static_cast<std::size_t>(block) * fieldBlockSize;
        fillInPlane(BlockLanes::of(axes, base), particles, inPlane);
        sumBlock(inPlane.data(), squaredZ, planeCount, particles.size(), &densities[base], stride);
        for (std::size_t k = 0; k < planeCount; ++k) {
            double* sums = &densities[k * stride + base];
            if (anyUnordered(sums)) {
                PlainKernel::accumulateGridBlock(axes, k, base, particles, sums);
            }
        }
    }
}

std::size_t Avx512Kernel::reciprocalsOfFloats(std::span<const float> values,
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

// Whole lane groups go eight at a time, the rest one at a time.
void Avx512Kernel::sumPairForces(std::span<const Vector3> positions, int first, int end,
                                 const PairTerms& terms, std::span<Vector3> forces) {
    int i = first;
    for (; i + 8 <= end; i += 8) {
        pairForcesOfEight(positions, i, terms, &forces[i]);
    }
    PlainKernel::sumPairForces(positions, i, end, terms, forces);
}

} // namespace velmorra
