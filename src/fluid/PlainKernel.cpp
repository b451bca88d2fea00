#include "fluid/PlainKernel.h"

#include <bit>

namespace velmorra {

// Each term is the float squared distance widened to double, divided into one and added in
// particle order.
void PlainKernel::accumulateDensities(const SampleColumns& samples,
                                      std::span<const Vector3> particles,
                                      std::span<double> densities) {
    for (std::size_t s = 0; s < densities.size(); ++s) {
        double value = 0.0;
        for (const Vector3& particle : particles) {
            const float dx = samples.x[s] - particle.x;
            const float dy = samples.y[s] - particle.y;
            const float dz = samples.z[s] - particle.z;
            value += 1.0 / (dx * dx + dy * dy + dz * dz);
        }
        densities[s] = value;
    }
}

void PlainKernel::accumulateGridDensities(const GridAxes& axes, int firstBlock, int endBlock,
                                          std::span<const Vector3> particles,
                                          std::span<double> densities) {
    const std::size_t stride = fieldPlaneStride(axes.x.size());
    for (int block = firstBlock; block < endBlock; ++block) {
        const std::size_t base = static_cast<std::size_t>(block) * fieldBlockSize;
        for (std::size_t k = 0; k < axes.z.size(); ++k) {
            accumulateGridBlock(axes, k, base, particles, &densities[k * stride + base]);
        }
    }
}

// Sample s of a plane lies at (x[s % n], y[s / n]); the in-plane squares are summed before dz^2
// is added, as the grid passes do.
void PlainKernel::accumulateGridBlock(const GridAxes& axes, std::size_t k, std::size_t base,
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

void PlainKernel::settleInnerRow(const double* values, std::ptrdiff_t row, std::ptrdiff_t layer,
                                 GridPoint* points, int first, int end) {
    for (int i = first; i < end; ++i) {
        const double* v = values + i;
        points[i].value = *v;
        points[i].normal.set(static_cast<float>(v[-1] - v[1]), static_cast<float>(v[-row] - v[row]),
                             static_cast<float>(v[layer] - v[-layer]));
    }
}

std::uint64_t PlainKernel::belowLevelMask(std::span<const double> values, double level) {
    std::uint64_t mask = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        mask |= static_cast<std::uint64_t>(values[i] < level) << i;
    }
    return mask;
}

std::size_t PlainKernel::reciprocalsOfFloats(std::span<const float> values,
                                             std::span<double> reciprocals) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        reciprocals[i] = 1.0 / static_cast<double>(values[i]);
    }
    return values.size();
}

// d is not clamped, so coincident particles exert nothing on each other.
void PlainKernel::sumPairForces(std::span<const Vector3> positions, int first, int end,
                                const PairTerms& terms, std::span<Vector3> forces) {
    const int count = static_cast<int>(positions.size());
    for (int i = first; i < end; ++i) {
        Vector3 force;
        for (int j = 0; j < count; ++j) {
            if (j == i) {
                continue;
            }
            const Vector3 d = difference(positions[i], positions[j]);
            float r = static_cast<float>(length(d));
            if (r < terms.nearest) {
                r = terms.nearest;
            }
            const float q = 1.0f / r;
            const float s = (q - terms.inverseRest) * (q * q) * terms.twiceMass;
            force.add(scaled(s, d));
        }
        forces[i] = force;
    }
}

int PlainKernel::cutCells(std::span<const GridCell* const> cells, double isoLevel,
                          std::span<CutCell> cut, std::span<EdgeCrossing> crossings) {
    int count = 0;
    for (std::size_t c = 0; c < cells.size(); ++c) {
        const GridCell& cell = *cells[c];
        cut[c] = {MarchingCubes::caseIndex(cell, isoLevel), count};
        for (std::uint32_t edges = edgeTable[cut[c].cubeCase]; edges != 0; edges &= edges - 1) {
            const int e = std::countr_zero(edges);
            EdgeCrossing& crossing = crossings[count++];
            MarchingCubes::interpolateEdge(*cell.corners[edgeCorners[e][0]],
                                           *cell.corners[edgeCorners[e][1]], isoLevel,
                                           crossing.vertex, crossing.normal);
        }
    }
    return count;
}

} // namespace velmorra
