#include "fluid/FluidSimulation.h"

#include "fluid/KernelDispatch.h"
#include "math/Random.h"

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

// The chosen kernel sums the pair forces; the plain one takes one particle at a time, as the
// reference the others are compared with. Each force starts from the pairs and then takes the
// weight.
void FluidSimulation::accumulateForces(int first, int end) {
    const PairTerms terms{1.0f / restDistance, 2.0f * mass, nearestDistance};
    sumPairForces(fieldKernel, positions, first, end, terms, forces);
    const Vector3 weight = scaled(mass, gravity);
    for (int i = first; i < end; ++i) {
        forces[i].add(weight);
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
