#include "fluid/MarchingCubes.h"

#include <immintrin.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>

namespace velmorra {

namespace {

constexpr double snapDistance = 0.00001;

float blended(float from, float to, double mu) {
    return static_cast<float>(from + mu * (to - from));
}

// The vector cut reads a grid point's position and normal as one row of six floats and writes
// them the same way into an edge crossing.
static_assert(sizeof(Vector3) == 3 * sizeof(float));
static_assert(offsetof(GridPoint, position) == 0 && offsetof(GridPoint, normal) == sizeof(Vector3));
static_assert(offsetof(EdgeCrossing, vertex) == 0 &&
              offsetof(EdgeCrossing, normal) == sizeof(Vector3));

// GCC 12 warns of uninitialised lanes in the unmasked forms of some AVX-512 intrinsics; the
// masked forms with every lane selected are the same instructions.
constexpr __mmask8 allLanes = 0xFF;
constexpr __mmask8 rowLanes = 0x3F;

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

// The same operations as blended, six components at once: the difference in float, the rest
// in double.
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

// Lane v is corner v, as in caseIndex.
[[gnu::target("avx512f,avx512vl")]] int caseIndexAvx512(const GridCell& cell, double isoLevel) {
    const __m512i corners = _mm512_loadu_si512(cell.corners.data());
    return _mm512_cmp_pd_mask(valuesAt(corners, allLanes), _mm512_set1_pd(isoLevel), _CMP_LT_OQ);
}

[[gnu::target("avx512f,avx512vl"), gnu::always_inline]] inline void
appendLanes(__mmask8 lanes, __m512i column, const GridPoint** to) {
    _mm512_storeu_si512(to, _mm512_maskz_compress_epi64(lanes, column));
}

// Appends the corners of a cell's cut edges without a branch: all twelve edges' corners are
// packed by the case's edge mask. Returns where the next cell's edges go.
[[gnu::target("avx512f,avx512vl")]] std::size_t
appendCutEdgesAvx512(const GridCell& cell, int cubeCase, std::size_t at, EdgeEnds& ends) {
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
// tried in interpolateEdge's order; then each edge's row is blended, or copied from the corner
// it snaps to.
[[gnu::target("avx512f,avx512vl")]] void interpolateEdgesAvx512(const EdgeEnds& ends,
                                                                std::size_t count, double isoLevel,
                                                                EdgeCrossing* crossings) {
    const __m512d level = _mm512_set1_pd(isoLevel);
    const __m512d snap = _mm512_set1_pd(snapDistance);
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

// The cells go in runs: every case of a run first, so that no cell's gather waits for the one
// before, then every cut edge of the run.
[[gnu::target("avx512f,avx512vl")]] int cutCellsAvx512(std::span<const GridCell* const> cells,
                                                       double isoLevel, std::span<CutCell> cut,
                                                       std::span<EdgeCrossing> crossings) {
    EdgeEnds ends;
    std::size_t runStart = 0;
    for (std::size_t first = 0; first < cells.size(); first += cellsPerRun) {
        const std::size_t end = std::min(first + cellsPerRun, cells.size());
        for (std::size_t c = first; c < end; ++c) {
            cut[c].cubeCase = caseIndexAvx512(*cells[c], isoLevel);
        }
        std::size_t count = 0;
        for (std::size_t c = first; c < end; ++c) {
            cut[c].firstCrossing = static_cast<int>(runStart + count);
            count = appendCutEdgesAvx512(*cells[c], cut[c].cubeCase, count, ends);
        }
        interpolateEdgesAvx512(ends, count, isoLevel, &crossings[runStart]);
        runStart += count;
    }
    return static_cast<int>(runStart);
}

bool hasVectorCut() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl");
}

const bool vectorCut = hasVectorCut();

std::array<std::array<std::int8_t, 16>, 256> numberCrossings() {
    std::array<std::array<std::int8_t, 16>, 256> crossings{};
    for (std::size_t cubeCase = 0; cubeCase < crossings.size(); ++cubeCase) {
        const std::uint32_t cutEdges = edgeTable[cubeCase];
        for (std::size_t t = 0; t < crossings[cubeCase].size(); ++t) {
            const int edge = triangleTable[cubeCase][t];
            if (edge < 0) {
                crossings[cubeCase][t] = -1;
                continue;
            }
            const std::uint32_t edgesBefore = (std::uint32_t{1} << edge) - 1;
            crossings[cubeCase][t] =
                static_cast<std::int8_t>(std::popcount(cutEdges & edgesBefore));
        }
    }
    return crossings;
}

} // namespace

int MarchingCubes::cutCellsPlain(std::span<const GridCell* const> cells, double isoLevel,
                                 std::span<CutCell> cut, std::span<EdgeCrossing> crossings) {
    int count = 0;
    for (std::size_t c = 0; c < cells.size(); ++c) {
        const GridCell& cell = *cells[c];
        cut[c] = {caseIndex(cell, isoLevel), count};
        for (std::uint32_t edges = edgeTable[cut[c].cubeCase]; edges != 0; edges &= edges - 1) {
            const int e = std::countr_zero(edges);
            EdgeCrossing& crossing = crossings[count++];
            interpolateEdge(*cell.corners[edgeCorners[e][0]], *cell.corners[edgeCorners[e][1]],
                            isoLevel, crossing.vertex, crossing.normal);
        }
    }
    return count;
}

const std::array<std::array<std::int8_t, 16>, 256> MarchingCubes::triangleCrossings =
    numberCrossings();

int MarchingCubes::caseIndex(const GridCell& cell, double isoLevel) {
    int cubeCase = 0;
    for (int v = 0; v < 8; ++v) {
        cubeCase |= static_cast<int>(cell.corners[v]->value < isoLevel) << v;
    }
    return cubeCase;
}

void MarchingCubes::interpolateEdge(const GridPoint& a, const GridPoint& b, double isoLevel,
                                    Vector3& vertex, Vector3& normal) {
    if (std::fabs(isoLevel - a.value) < snapDistance) {
        vertex = a.position;
        normal = a.normal;
        return;
    }
    if (std::fabs(isoLevel - b.value) < snapDistance) {
        vertex = b.position;
        normal = b.normal;
        return;
    }
    if (std::fabs(a.value - b.value) < snapDistance) {
        vertex = a.position;
        normal = a.normal;
        return;
    }
    const double mu = (isoLevel - a.value) / (b.value - a.value);
    // The six components blend as one row, which the compiler can take two at a time.
    const float from[6] = {a.position.x, a.position.y, a.position.z,
                           a.normal.x,   a.normal.y,   a.normal.z};
    const float to[6] = {b.position.x, b.position.y, b.position.z,
                         b.normal.x,   b.normal.y,   b.normal.z};
    float blend[6];
    for (int c = 0; c < 6; ++c) {
        blend[c] = blended(from[c], to[c], mu);
    }
    vertex.set(blend[0], blend[1], blend[2]);
    normal.set(blend[3], blend[4], blend[5]);
}

int MarchingCubes::cutCells(std::span<const GridCell* const> cells, double isoLevel,
                            std::span<CutCell> cut, std::span<EdgeCrossing> crossings) {
    return vectorCut ? cutCellsAvx512(cells, isoLevel, cut, crossings)
                     : cutCellsPlain(cells, isoLevel, cut, crossings);
}

} // namespace velmorra
