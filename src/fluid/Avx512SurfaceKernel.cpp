#include "fluid/Avx512SurfaceKernel.h"

#include <immintrin.h>

#include <algorithm>
#include <bit>
#include <cstddef>

namespace velmorra {

namespace {

// GCC 12 warns of uninitialised lanes in the unmasked forms of some AVX-512 intrinsics; the
// masked forms with every lane selected are the same instructions.
constexpr __mmask8 allLanes = 0xFF;
constexpr __mmask8 rowLanes = 0x3F;

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

// The vector cut reads a grid point's position and normal as one row of six floats and writes
// them the same way into an edge crossing.
static_assert(sizeof(Vector3) == 3 * sizeof(float));
static_assert(offsetof(GridPoint, position) == 0 && offsetof(GridPoint, normal) == sizeof(Vector3));
static_assert(offsetof(EdgeCrossing, vertex) == 0 &&
              offsetof(EdgeCrossing, normal) == sizeof(Vector3));

// The corners of a run of cells' cut edges, with room for a vector's worth of lanes stored
// past the last edge.
constexpr std::size_t cellsPerRun = 32;
constexpr std::size_t edgeEndsCapacity = cellsPerRun * maxCrossingsPerCell + 8;

struct EdgeEnds {
    alignas(64) std::array<const GridPoint*, edgeEndsCapacity> from;
    alignas(64) std::array<const GridPoint*, edgeEndsCapacity> to;
};

[[gnu::target("avx512f,avx512vl"), gnu::always_inline]] inline __m256
rowOf(const GridPoint& point) {
    return _mm256_maskz_loadu_ps(rowLanes, &point.position.x);
}

[[gnu::target("avx512f,avx512vl"), gnu::always_inline]] inline void
storeRow(__m256 row, EdgeCrossing& crossing) {
    _mm256_mask_storeu_ps(&crossing.vertex.x, rowLanes, row);
}

// The same operations as MarchingCubes::interpolateEdge, six components at once: the difference in
// float, the rest in double.
[[gnu::target("avx512f,avx512vl"), gnu::always_inline]] inline __m256
blendedRow(const GridPoint& a, const GridPoint& b, double mu) {
    const __m256 from = rowOf(a);
    const __m512d difference = _mm512_maskz_cvtps_pd(allLanes, _mm256_sub_ps(rowOf(b), from));
    const __m512d step = _mm512_mul_pd(_mm512_set1_pd(mu), difference);
    return _mm512_maskz_cvtpd_ps(allLanes,
                                 _mm512_add_pd(_mm512_maskz_cvtps_pd(allLanes, from), step));
}

// The values of the grid points that the lanes point to.
[[gnu::target("avx512f,avx512vl"), gnu::always_inline]] inline __m512d valuesAt(__m512i points,
                                                                                __mmask8 lanes) {
    const __m512i values = _mm512_add_epi64(points, _mm512_set1_epi64(offsetof(GridPoint, value)));
    return _mm512_mask_i64gather_pd(_mm512_setzero_pd(), lanes, values, nullptr, 1);
}

// Lane v is corner v, as in MarchingCubes::caseIndex.
[[gnu::target("avx512f,avx512vl")]] int caseOf(const GridCell& cell, double isoLevel) {
    const __m512i corners = _mm512_loadu_si512(cell.corners.data());
    return _mm512_cmp_pd_mask(valuesAt(corners, allLanes), _mm512_set1_pd(isoLevel), _CMP_LT_OQ);
}

[[gnu::target("avx512f,avx512vl"), gnu::always_inline]] inline void
appendLanes(__mmask8 lanes, __m512i column, const GridPoint** to) {
    _mm512_storeu_si512(to, _mm512_maskz_compress_epi64(lanes, column));
}

// Appends the corners of a cell's cut edges without a branch: all twelve edges' corners are
// packed by the case's edge mask. Returns where the next cell's edges go.
[[gnu::target("avx512f,avx512vl")]] std::size_t appendCutEdges(const GridCell& cell, int cubeCase,
                                                               std::size_t at, EdgeEnds& ends) {
    const __m512i corners = _mm512_loadu_si512(cell.corners.data());
    const std::uint32_t cut = edgeTable[cubeCase];
    // Edges 0 to 7 from the lower vectors, 8 to 11 from the upper ones.
    const __m512i fromLower = _mm512_maskz_permutexvar_epi64(
        allLanes, _mm512_setr_epi64(0, 1, 2, 3, 4, 5, 6, 7), corners);
    const __m512i toLower = _mm512_maskz_permutexvar_epi64(
        allLanes, _mm512_setr_epi64(1, 2, 3, 0, 5, 6, 7, 4), corners);
    const __m512i fromUpper = _mm512_maskz_permutexvar_epi64(
        allLanes, _mm512_setr_epi64(0, 1, 2, 3, 0, 0, 0, 0), corners);
    const __m512i toUpper = _mm512_maskz_permutexvar_epi64(
        allLanes, _mm512_setr_epi64(4, 5, 6, 7, 0, 0, 0, 0), corners);
    const auto lower = static_cast<__mmask8>(cut);
    const auto upper = static_cast<__mmask8>(cut >> 8);
    appendLanes(lower, fromLower, &ends.from[at]);
    appendLanes(lower, toLower, &ends.to[at]);
    at += std::popcount(static_cast<unsigned>(lower));
    appendLanes(upper, fromUpper, &ends.from[at]);
    appendLanes(upper, toUpper, &ends.to[at]);
    return at + std::popcount(static_cast<unsigned>(upper));
}

// Eight edges at a time: their mu in one division and their snapping in three comparisons,
// tried in MarchingCubes::interpolateEdge's order; then each edge's row is blended, or copied from
// the corner it snaps to.
[[gnu::target("avx512f,avx512vl")]] void interpolateEdges(const EdgeEnds& ends, std::size_t count,
                                                          double isoLevel,
                                                          EdgeCrossing* crossings) {
    const __m512d level = _mm512_set1_pd(isoLevel);
    const __m512d snap = _mm512_set1_pd(MarchingCubes::snapDistance);
    for (std::size_t base = 0; base < count; base += 8) {
        const std::size_t lanesUsed = std::min<std::size_t>(8, count - base);
        const auto lanes = static_cast<__mmask8>((1u << lanesUsed) - 1);
        const __m512d a = valuesAt(_mm512_load_si512(&ends.from[base]), lanes);
        const __m512d b = valuesAt(_mm512_load_si512(&ends.to[base]), lanes);
        const __m512d aToLevel = _mm512_sub_pd(level, a);
        const __mmask8 snapA = _mm512_cmp_pd_mask(_mm512_abs_pd(aToLevel), snap, _CMP_LT_OQ);
        const __mmask8 snapB =
            _mm512_cmp_pd_mask(_mm512_abs_pd(_mm512_sub_pd(level, b)), snap, _CMP_LT_OQ);
        const __mmask8 flat =
            _mm512_cmp_pd_mask(_mm512_abs_pd(_mm512_sub_pd(a, b)), snap, _CMP_LT_OQ);
        const __mmask8 snapped = snapA | snapB | flat;
        const __mmask8 toB = snapB & ~snapA;
        alignas(64) double mu[8];
        _mm512_store_pd(mu, _mm512_maskz_div_pd(lanes, aToLevel, _mm512_sub_pd(b, a)));
        for (std::size_t lane = 0; lane < lanesUsed; ++lane) {
            const GridPoint& from = *ends.from[base + lane];
            const GridPoint& to = *ends.to[base + lane];
            EdgeCrossing& crossing = crossings[base + lane];
            if ((snapped >> lane & 1) == 0) {
                storeRow(blendedRow(from, to, mu[lane]), crossing);
            } else {
                storeRow(rowOf((toB >> lane & 1) != 0 ? to : from), crossing);
            }
        }
    }
}

} // namespace

void Avx512SurfaceKernel::settleInnerRow(const double* values, std::ptrdiff_t row,
                                         std::ptrdiff_t layer, GridPoint* points, int first,
                                         int end) {
    for (int i = first; i < end; i += 8) {
        const int count = std::min(8, end - i);
        const auto lanes = static_cast<__mmask8>((1u << count) - 1);
        const double* v = values + i;
        const __m256 x =
            _mm512_maskz_cvtpd_ps(allLanes, _mm512_sub_pd(_mm512_maskz_loadu_pd(lanes, v - 1),
                                                          _mm512_maskz_loadu_pd(lanes, v + 1)));
        const __m256 y =
            _mm512_maskz_cvtpd_ps(allLanes, _mm512_sub_pd(_mm512_maskz_loadu_pd(lanes, v - row),
                                                          _mm512_maskz_loadu_pd(lanes, v + row)));
        const __m256 z =
            _mm512_maskz_cvtpd_ps(allLanes, _mm512_sub_pd(_mm512_maskz_loadu_pd(lanes, v + layer),
                                                          _mm512_maskz_loadu_pd(lanes, v - layer)));
        const __m512d lower =
            _mm512_maskz_insertf64x4(allLanes, _mm512_setzero_pd(), _mm256_castps_pd(x), 0);
        const __m512 xy =
            _mm512_castpd_ps(_mm512_maskz_insertf64x4(allLanes, lower, _mm256_castps_pd(y), 1));
        const __m512 zz = _mm512_castpd_ps(
            _mm512_maskz_insertf64x4(allLanes, _mm512_setzero_pd(), _mm256_castps_pd(z), 0));
        const __m512 value = _mm512_castpd_ps(_mm512_maskz_loadu_pd(lanes, v));
        for (int pair = 0; 2 * pair < count; ++pair) {
            const __m512 normals =
                _mm512_permutex2var_ps(xy, _mm512_load_si512(settleIndices.normals[pair]), zz);
            const __m512 both = _mm512_permutex2var_ps(
                normals, _mm512_load_si512(settleIndices.values[pair]), value);
            const auto stored = static_cast<__mmask16>(2 * pair + 1 < count ? 0xF8F8 : 0x00F8);
            _mm512_mask_storeu_ps(&points[i + 2 * pair], stored, both);
        }
    }
}

std::uint64_t Avx512SurfaceKernel::belowLevelMask(std::span<const double> values, double level) {
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

// The cells go in runs: every case of a run first, so that no cell's gather waits for the one
// before, then every cut edge of the run.
int Avx512SurfaceKernel::cutCells(std::span<const GridCell* const> cells, double isoLevel,
                                  std::span<CutCell> cut, std::span<EdgeCrossing> crossings) {
    EdgeEnds ends;
    std::size_t runStart = 0;
    for (std::size_t first = 0; first < cells.size(); first += cellsPerRun) {
        const std::size_t end = std::min(first + cellsPerRun, cells.size());
        for (std::size_t c = first; c < end; ++c) {
            cut[c].cubeCase = caseOf(*cells[c], isoLevel);
        }
        std::size_t count = 0;
        for (std::size_t c = first; c < end; ++c) {
            cut[c].firstCrossing = static_cast<int>(runStart + count);
            count = appendCutEdges(*cells[c], cut[c].cubeCase, count, ends);
        }
        interpolateEdges(ends, count, isoLevel, &crossings[runStart]);
        runStart += count;
    }
    return static_cast<int>(runStart);
}

} // namespace velmorra
