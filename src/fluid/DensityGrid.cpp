#include "fluid/DensityGrid.h"

#include <algorithm>
#include <bit>
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

constexpr int blockPartsPerThread = 4;
constexpr int planePartsPerThread = 2;

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
    belowRows.assign(static_cast<std::size_t>(n) * n, 0);
    cutCells.reserve(cells.size());
}

void DensityGrid::clear() {
    size = 0;
    points = {};
    cells = {};
    columnX = {};
    columnY = {};
    columnZ = {};
    axisX = {};
    axisY = {};
    axisZ = {};
    densities = {};
    belowRows = {};
    cutCells = {};
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
    const auto n = static_cast<std::size_t>(size);
    densities.assign(std::max(padded, n * fieldPlaneStride(n)), 0.0);
    for (std::size_t s = 0; s < points.size(); ++s) {
        columnX[s] = points[s].position.x;
        columnY[s] = points[s].position.y;
        columnZ[s] = points[s].position.z;
    }
    // Each coordinate of a sample depends on its index along that axis alone.
    axisX.resize(n);
    axisY.resize(n);
    axisZ.resize(n);
    for (int i = 0; i < size; ++i) {
        axisX[i] = point(i, 0, 0).position.x;
        axisY[i] = point(0, i, 0).position.y;
        axisZ[i] = point(0, 0, i).position.z;
    }
}

void DensityGrid::computeField(std::span<const Vector3> particles, FieldKernel kernel,
                               WorkerPool* workers) {
    if (kernel == FieldKernel::plain) {
        computeFieldPlain(particles);
        return;
    }
    const bool byPlanes = hasFieldPlanePass(kernel);
    if (workers == nullptr || workers->getThreadCount() == 1) {
        byPlanes ? computeFieldPlanes(particles, kernel, 0, 1)
                 : computeFieldPart(particles, kernel, 0, 1);
        return;
    }
    // More parts than threads, so that a thread the system runs late leaves its share to the
    // others. Every part of a plane pass makes its own in-plane tables, so it gets fewer.
    const int units = byPlanes ? size : static_cast<int>(points.size() + fieldBlockSize - 1) /
                                            fieldBlockSize;
    const int parts = std::min(
        workers->getThreadCount() * (byPlanes ? planePartsPerThread : blockPartsPerThread), units);
    workers->run(parts, [&](int part) {
        byPlanes ? computeFieldPlanes(particles, kernel, part, parts)
                 : computeFieldPart(particles, kernel, part, parts);
    });
}

// Part p of n covers planes p size / n up to (p + 1) size / n.
void DensityGrid::computeFieldPlanes(std::span<const Vector3> particles, FieldKernel kernel,
                                     int part, int parts) {
    const int first = size * part / parts;
    const int end = size * (part + 1) / parts;
    const auto n = static_cast<std::size_t>(size);
    const std::size_t stride = fieldPlaneStride(n);
    const std::span<double> planes =
        std::span(densities).subspan(first * stride, (end - first) * stride);
    accumulatePlaneDensities(kernel, {axisX, axisY, axisZ}, first, end, particles, planes);
    for (int k = first; k < end; ++k) {
        const double* sums = &planes[(k - first) * stride];
        GridPoint* plane = &points[index(0, 0, k)];
        for (std::size_t s = 0; s < n * n; ++s) {
            plane[s].value = sums[s];
        }
    }
}

// Part p of n covers whole kernel blocks, from block count p / n to count (p + 1) / n.
void DensityGrid::computeFieldPart(std::span<const Vector3> particles, FieldKernel kernel,
                                   int part, int parts) {
    const std::size_t blocks = columnX.size() / fieldBlockSize;
    const std::size_t first = blocks * part / parts * fieldBlockSize;
    const std::size_t end = blocks * (part + 1) / parts * fieldBlockSize;
    const std::size_t count = end - first;
    const SampleColumns columns{std::span(columnX).subspan(first, count),
                                std::span(columnY).subspan(first, count),
                                std::span(columnZ).subspan(first, count)};
    accumulateDensities(kernel, columns, particles, std::span(densities).subspan(first, count));
    for (std::size_t s = first; s < std::min(end, points.size()); ++s) {
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

// Rows of samples are compared as bit masks: cell i of a row is cut unless bits i and i + 1 of the
// four sample rows around it are all set or all clear.
std::span<const GridCell* const> DensityGrid::findCutCells(double isoLevel) {
    cutCells.clear();
    if (size < 2) {
        return cutCells;
    }
    if (size > 64) {
        listCutCellsOneByOne(isoLevel);
        return cutCells;
    }
    for (int k = 0; k < size; ++k) {
        for (int j = 0; j < size; ++j) {
            belowRows[j + size * k] = belowMask(j, k, isoLevel);
        }
    }
    const std::uint64_t cellBits = (std::uint64_t{1} << (size - 1)) - 1;
    for (int k = 0; k + 1 < size; ++k) {
        for (int j = 0; j + 1 < size; ++j) {
            const std::uint64_t rows[4] = {belowRows[j + size * k], belowRows[j + size * (k + 1)],
                                           belowRows[j + 1 + size * k],
                                           belowRows[j + 1 + size * (k + 1)]};
            std::uint64_t allBelow = cellBits;
            std::uint64_t noneBelow = cellBits;
            for (const std::uint64_t row : rows) {
                allBelow &= row & (row >> 1);
                noneBelow &= ~row & ~(row >> 1);
            }
            listCutCellsOfRow(j, k, cellBits & ~(allBelow | noneBelow));
        }
    }
    return cutCells;
}

std::uint64_t DensityGrid::belowMask(int j, int k, double isoLevel) const {
    const GridPoint* row = &points[index(0, j, k)];
    std::uint64_t mask = 0;
    for (int i = 0; i < size; ++i) {
        mask |= static_cast<std::uint64_t>(row[i].value < isoLevel) << i;
    }
    return mask;
}

void DensityGrid::listCutCellsOfRow(int j, int k, std::uint64_t cutMask) {
    const int cellsPerAxis = size - 1;
    const GridCell* row = &cells[static_cast<std::size_t>(cellsPerAxis) * (j + cellsPerAxis * k)];
    while (cutMask != 0) {
        cutCells.push_back(&row[std::countr_zero(cutMask)]);
        cutMask &= cutMask - 1;
    }
}

// For grids too wide for one mask per row.
void DensityGrid::listCutCellsOneByOne(double isoLevel) {
    for (const GridCell& cell : cells) {
        int below = 0;
        for (const GridPoint* corner : cell.corners) {
            below += corner->value < isoLevel;
        }
        if (below != 0 && below != 8) {
            cutCells.push_back(&cell);
        }
    }
}

} // namespace velmorra
