#include "fluid/DensityGrid.h"

#include <cstddef>

namespace velmorra {

namespace {

// Where sample index lies between -1 and 1, worked out in extended precision; the coordinates
// are scaled from it before rounding to float.
long double gridFraction(int index, int n) {
    return 2.0L * index / n - 1.0L;
}

float rounded(float half, long double fraction) {
    return static_cast<float>(static_cast<long double>(half) * fraction);
}

std::size_t paddedCount(std::size_t count) {
    const auto block = static_cast<std::size_t>(fieldBlockSize);
    return (count + block - 1) / block * block;
}

} // namespace

void DensityGrid::layOut(int n, float halfWidth, float halfHeight, float halfDepth) {
    clear();
    if (n < 1) {
        return;
    }
    size = n;
    const auto count = static_cast<std::size_t>(n) * n * n;
    points.assign(count, GridPoint{{}, {}, 0.0});
    placePoints(halfWidth, halfHeight, halfDepth);
    wireCells();
    copyToColumns();
}

void DensityGrid::clear() {
    size = 0;
    points = {};
    cells = {};
    columnX = {};
    columnY = {};
    columnZ = {};
    densities = {};
}

void DensityGrid::placePoints(float halfWidth, float halfHeight, float halfDepth) {
    for (int k = 0; k < size; ++k) {
        for (int j = 0; j < size; ++j) {
            for (int i = 0; i < size; ++i) {
                points[index(i, j, k)].position.set(rounded(halfWidth, gridFraction(i, size)),
                                                    rounded(halfHeight, gridFraction(j, size)),
                                                    rounded(halfDepth, -gridFraction(k, size)));
            }
        }
    }
}

void DensityGrid::wireCells() {
    const int cellsPerAxis = size - 1;
    cells.resize(static_cast<std::size_t>(cellsPerAxis) * cellsPerAxis * cellsPerAxis);
    std::size_t next = 0;
    for (int k = 0; k < cellsPerAxis; ++k) {
        for (int j = 0; j < cellsPerAxis; ++j) {
            for (int i = 0; i < cellsPerAxis; ++i) {
                cells[next++].corners = {&points[index(i, j, k)],
                                         &points[index(i + 1, j, k)],
                                         &points[index(i + 1, j, k + 1)],
                                         &points[index(i, j, k + 1)],
                                         &points[index(i, j + 1, k)],
                                         &points[index(i + 1, j + 1, k)],
                                         &points[index(i + 1, j + 1, k + 1)],
                                         &points[index(i, j + 1, k + 1)]};
            }
        }
    }
}

void DensityGrid::copyToColumns() {
    const std::size_t padded = paddedCount(points.size());
    // Padding samples lie far from any particle; their densities are computed and ignored.
    columnX.assign(padded, 1.0e6f);
    columnY.assign(padded, 1.0e6f);
    columnZ.assign(padded, 1.0e6f);
    densities.assign(padded, 0.0);
    for (std::size_t s = 0; s < points.size(); ++s) {
        columnX[s] = points[s].position.x;
        columnY[s] = points[s].position.y;
        columnZ[s] = points[s].position.z;
    }
}

void DensityGrid::computeField(std::span<const Vector3> particles, FieldKernel kernel) {
    if (kernel == FieldKernel::plain) {
        computeFieldPlain(particles);
        return;
    }
    accumulateDensities(kernel, {columnX, columnY, columnZ}, particles, densities);
    for (std::size_t s = 0; s < points.size(); ++s) {
        points[s].value = densities[s];
    }
}

void DensityGrid::computeFieldPlain(std::span<const Vector3> particles) {
    for (GridPoint& point : points) {
        double value = 0.0;
        for (const Vector3& particle : particles) {
            const float dx = point.position.x - particle.x;
            const float dy = point.position.y - particle.y;
            const float dz = point.position.z - particle.z;
            value += 1.0 / (dx * dx + dy * dy + dz * dz);
        }
        point.value = value;
    }
}

void DensityGrid::computeNormals() {
    const int step = 1;
    const int row = size;
    const int layer = size * size;
    for (int k = 1; k < size - 1; ++k) {
        for (int j = 1; j < size - 1; ++j) {
            for (int i = 1; i < size - 1; ++i) {
                const int s = index(i, j, k);
                // z falls as k grows, hence the reversed difference along k.
                points[s].normal.set(
                    static_cast<float>(points[s - step].value - points[s + step].value),
                    static_cast<float>(points[s - row].value - points[s + row].value),
                    static_cast<float>(points[s + layer].value - points[s - layer].value));
            }
        }
    }
}

} // namespace velmorra
