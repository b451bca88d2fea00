#include "fluid/FluidSimulation.h"

#include "math/Random.h"

#include <immintrin.h>

#include <algorithm>
#include <limits>
#include <cmath>

namespace velmorra {

namespace {

// Closer than this, the pair force stops growing.
constexpr float nearestDistance = 0.05f;

// Small enough that the calling thread starts emitting soon after the pool starts cutting.
constexpr std::size_t cellsPerCutPart = 32;
constexpr std::size_t crossingsPerCutPart = cellsPerCutPart * maxCrossingsPerCell;

float unitDraw(Random& random) {
    return static_cast<float>(random.next()) / static_cast<float>(Random::maxValue);
}

// GCC 12 warns of uninitialised lanes in the unmasked forms of some AVX-512 intrinsics; the
// masked forms with every lane selected are the same instructions.
constexpr __mmask8 allLanes = 0xFF;

struct PairTerms {
    float inverseRest;
    float twiceMass;
};

// Eight particles' pair forces at once, one particle a lane, with the same operations in the same
// order as the one-particle loop, so each lane gets that loop's bits: the squares summed in
// double, the square root rounded to float, and the terms added in index order, skipping the
// particle itself.
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
    const __m256i own = _mm256_add_epi32(_mm256_set1_epi32(first),
                                         _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
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
        const __m512d squares = _mm512_add_pd(
            _mm512_add_pd(_mm512_mul_pd(wideX, wideX), _mm512_mul_pd(wideY, wideY)),
            _mm512_mul_pd(wideZ, wideZ));
        __m256 r = _mm512_maskz_cvtpd_ps(
            allLanes, _mm512_maskz_sqrt_pd(allLanes, _mm512_abs_pd(squares)));
        r = _mm256_blendv_ps(r, _mm256_set1_ps(nearestDistance),
                             _mm256_cmp_ps(r, _mm256_set1_ps(nearestDistance), _CMP_LT_OQ));
        const __m256 q = _mm256_div_ps(_mm256_set1_ps(1.0f), r);
        const __m256 s = _mm256_mul_ps(
            _mm256_mul_ps(_mm256_sub_ps(q, _mm256_set1_ps(terms.inverseRest)), _mm256_mul_ps(q, q)),
            _mm256_set1_ps(terms.twiceMass));
        const __m256 other =
            _mm256_castsi256_ps(_mm256_xor_si256(_mm256_cmpeq_epi32(own, _mm256_set1_epi32(j)),
                                                 _mm256_set1_epi32(-1)));
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

void FluidSimulation::init(int count, int gridSize, float halfWidth, float halfHeight,
                           float halfDepth, Random& random) {
    if (count < 1) {
        return;
    }
    release();
    particleCount = count;
    positions.assign(count, Vector3{});
    velocities.assign(count, Vector3{});
    forces.assign(count, Vector3{});
    const double x = halfWidth;
    const double y = halfHeight;
    const double z = halfDepth;
    radius = static_cast<float>(std::sqrt(x * x + y * y + z * z));
    grid.layOut(gridSize, halfWidth, halfHeight, halfDepth);
    placeParticles(random);
    initialized = true;
}

void FluidSimulation::release() {
    positions = {};
    velocities = {};
    forces = {};
    grid.clear();
    cutCellCases = {};
    edgeCrossings = {};
    partsCut = std::vector<std::atomic<unsigned>>();
    particleCount = 0;
    initialized = false;
}

// The draws come in the order z, y, x for each particle.
void FluidSimulation::placeParticles(Random& random) {
    for (Vector3& position : positions) {
        const float r1 = unitDraw(random);
        const float r2 = unitDraw(random);
        const float r3 = unitDraw(random);
        position.set(0.5f - r3, 0.5f - r2, 0.5f - r1);
    }
}

void FluidSimulation::simulate(float dt) {
    if (!initialized) {
        return;
    }
    accumulateForces();
    integrate(dt);
    grid.computeFieldAndNormals(positions, fieldKernel, isoLevel, fieldWorkers);
}

// Every force is summed before any particle moves. The pair term pushes apart closer than the
// rest distance and pulls together beyond it; d is not clamped, so coincident particles exert
// nothing. Each particle sums its own pairs in index order, so particles may share out freely.
void FluidSimulation::accumulateForces() {
    // Shared out by whole lane groups, so that no slice leaves the vector path early.
    constexpr int group = 8;
    WorkerPool::shareOut(fieldWorkers, (particleCount + group - 1) / group,
                         [this](int first, int end) {
                             accumulateForces(first * group, std::min(end * group, particleCount));
                         });
}

// The AVX-512 field kernel brings the eight-lane pair forces along; the plain kernel keeps the
// whole step one particle at a time, as the reference the others are compared with.
void FluidSimulation::accumulateForces(int first, int end) {
    const float inverseRest = 1.0f / restDistance;
    const float twiceMass = 2.0f * mass;
    const Vector3 weight = scaled(mass, gravity);
    int i = first;
    if (fieldKernel == FieldKernel::avx512 && isFieldKernelSupported(fieldKernel)) {
        for (; i + 8 <= end; i += 8) {
            pairForcesOfEight(positions, i, {inverseRest, twiceMass}, &forces[i]);
            for (int lane = 0; lane < 8; ++lane) {
                forces[i + lane].add(weight);
            }
        }
    }
    for (; i < end; ++i) {
        Vector3 force;
        for (int j = 0; j < particleCount; ++j) {
            if (j == i) {
                continue;
            }
            const Vector3 d = difference(positions[i], positions[j]);
            float r = static_cast<float>(length(d));
            if (r < nearestDistance) {
                r = nearestDistance;
            }
            const float q = 1.0f / r;
            const float s = (q - inverseRest) * (q * q) * twiceMass;
            force.add(scaled(s, d));
        }
        force.add(weight);
        forces[i] = force;
    }
}

int FluidSimulation::beginCutting(std::span<const GridCell* const> cells) {
    const auto parts = (cells.size() + cellsPerCutPart - 1) / cellsPerCutPart;
    cutCellCases.resize(cells.size());
    edgeCrossings.resize(std::max(edgeCrossings.size(), parts * crossingsPerCutPart));
    if (partsCut.size() < parts || cuttingPass == std::numeric_limits<unsigned>::max()) {
        partsCut = std::vector<std::atomic<unsigned>>(std::max(parts, partsCut.size()));
        cuttingPass = 0;
    }
    ++cuttingPass;
    return static_cast<int>(parts);
}

void FluidSimulation::cutPart(std::span<const GridCell* const> cells, int part) {
    const std::size_t first = static_cast<std::size_t>(part) * cellsPerCutPart;
    const std::size_t count = std::min(cellsPerCutPart, cells.size() - first);
    MarchingCubes::cutCells(cells.subspan(first, count), isoLevel,
                            std::span(cutCellCases).subspan(first, count),
                            std::span(edgeCrossings).subspan(part * crossingsPerCutPart,
                                                             crossingsPerCutPart));
    partsCut[part].store(cuttingPass, std::memory_order_release);
}

bool FluidSimulation::isPartCut(int part) const {
    return partsCut[part].load(std::memory_order_acquire) == cuttingPass;
}

std::span<const CutCell> FluidSimulation::cutCellsOfPart(int part) const {
    const std::size_t first = static_cast<std::size_t>(part) * cellsPerCutPart;
    return std::span(cutCellCases)
        .subspan(first, std::min(cellsPerCutPart, cutCellCases.size() - first));
}

const EdgeCrossing* FluidSimulation::crossingsOfPart(int part) const {
    return &edgeCrossings[static_cast<std::size_t>(part) * crossingsPerCutPart];
}

void FluidSimulation::integrate(float dt) {
    const float acceleration = dt / mass;
    for (int i = 0; i < particleCount; ++i) {
        Vector3& v = velocities[i];
        Vector3& p = positions[i];
        v = sum(scaled(damping, v), scaled(acceleration, forces[i]));
        p = sum(p, scaled(dt, v));
        bounce(p.x, v.x, bounds[0], bounds[1]);
        bounce(p.y, v.y, bounds[2], bounds[3]);
        bounce(p.z, v.z, bounds[4], bounds[5]);
    }
}

// Mirrors a coordinate that left [low, high] back inside and sends its velocity inwards, slowed.
void FluidSimulation::bounce(float& p, float& v, float low, float high) const {
    const auto kept = static_cast<float>(0.8 * damping);
    if (p < low) {
        p = 2.0f * low - p;
        v = std::fabs(v) * kept;
    }
    if (p > high) {
        p = 2.0f * high - p;
        v = -std::fabs(v) * kept;
    }
}

void FluidSimulation::getParticles(Vector3*& positionArray, Vector3*& velocityArray, int& count) {
    positionArray = initialized ? positions.data() : nullptr;
    velocityArray = initialized ? velocities.data() : nullptr;
    count = particleCount;
}

} // namespace velmorra
