#include "fluid/DensityGrid.h"

#include "fluid/KernelDispatch.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>

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
    planeOffsets = {};
    densityStorage = {};
    densities = {};
    densityPlaneStride = 0;
    passKernel = FieldKernel::plain;
    belowRows = {};
    sortedLevel.reset();
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
    allocateDensities(std::max(padded, n * fieldPlaneStride(n)));
    densityPlaneStride = n * n;
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

// Threads write the densities a whole cache line at a time, so that no two of them share one:
// blocks of samples start on a line.
void DensityGrid::allocateDensities(std::size_t count) {
    constexpr std::size_t line = 64;
    constexpr std::size_t perLine = line / sizeof(double);
    densityStorage.assign(count + perLine, 0.0);
    const auto address = reinterpret_cast<std::uintptr_t>(densityStorage.data());
    const std::size_t skip = (line - address % line) % line / sizeof(double);
    densities = std::span(densityStorage).subspan(skip, count);
}

void DensityGrid::computeField(std::span<const Vector3> particles, FieldKernel kernel,
                               WorkerPool* workers) {
    sumDensities(particles, kernel, workers);
    if (kernel != FieldKernel::plain) {
        settlePlanes(workers, {.values = true, .normals = false, .sortLevel = nullptr});
    }
}

void DensityGrid::computeFieldAndNormals(std::span<const Vector3> particles, FieldKernel kernel,
                                         double isoLevel, WorkerPool* workers) {
    sumDensities(particles, kernel, workers);
    const bool sorting = size <= maskedSizeLimit;
    const bool plain = kernel == FieldKernel::plain;
    settlePlanes(plain ? nullptr : workers,
                 {.values = !plain, .normals = true, .sortLevel = sorting ? &isoLevel : nullptr});
    if (sorting) {
        sortedLevel = isoLevel;
    }
}

void DensityGrid::sumDensities(std::span<const Vector3> particles, FieldKernel kernel,
                               WorkerPool* workers) {
    sortedLevel.reset();
    passKernel = kernel;
    const bool byColumns = hasFieldGridPass(kernel);
    densityPlaneStride = byColumns ? fieldPlaneStride(size) : static_cast<std::size_t>(size) * size;
    if (kernel == FieldKernel::plain) {
        sumDensitiesPlain(particles);
        return;
    }
    if (byColumns) {
        fillPlaneOffsets(axisZ, particles, planeOffsets);
    }
    if (workers == nullptr || workers->getThreadCount() == 1) {
        byColumns ? sumColumns(particles, kernel, 0, 1) : sumBlocks(particles, kernel, 0, 1);
        return;
    }
    // As many parts as blocks: a thread that finishes early takes another, so the threads end
    // within one block of each other.
    const int blocks = static_cast<int>(byColumns ? densityPlaneStride : columnX.size()) /
                       fieldBlockSize;
    workers->run(blocks, [&](int block) {
        byColumns ? sumColumns(particles, kernel, block, blocks)
                  : sumBlocks(particles, kernel, block, blocks);
    });
}

// Part p of n covers the in-plane blocks from count p / n to count (p + 1) / n, through every
// plane.
void DensityGrid::sumColumns(std::span<const Vector3> particles, FieldKernel kernel, int part,
                             int parts) {
    const int blocks = static_cast<int>(densityPlaneStride / fieldBlockSize);
    accumulateGridDensities(kernel, {axisX, axisY, axisZ}, planeOffsets, blocks * part / parts,
                            blocks * (part + 1) / parts, particles, densities);
}

// Part p of n covers whole kernel blocks, from block count p / n to count (p + 1) / n.
void DensityGrid::sumBlocks(std::span<const Vector3> particles, FieldKernel kernel, int part,
                            int parts) {
    const std::size_t blocks = columnX.size() / fieldBlockSize;
    const std::size_t first = blocks * part / parts * fieldBlockSize;
    const std::size_t end = blocks * (part + 1) / parts * fieldBlockSize;
    const std::size_t count = end - first;
    const SampleColumns columns{std::span(columnX).subspan(first, count),
                                std::span(columnY).subspan(first, count),
                                std::span(columnZ).subspan(first, count)};
    accumulateDensities(kernel, columns, particles, densities.subspan(first, count));
}

// The points take their densities, normals and below masks as asked, plane by plane: one thread
// writes each point once.
void DensityGrid::settlePlanes(WorkerPool* workers, const Settling& settling) {
    WorkerPool::shareOut(workers, size, [this, &settling](int first, int end) {
        for (int k = first; k < end; ++k) {
            if (settling.values && settling.normals && k > 0 && k < size - 1) {
                settleInnerPlane(k);
            } else if (settling.values) {
                copyDensitiesOfPlane(k);
            } else if (settling.normals && k > 0 && k < size - 1) {
                computeNormalsOfPlanes(k, k + 1);
            }
            if (settling.sortLevel != nullptr) {
                sortPlane(k, *settling.sortLevel);
            }
        }
    });
}

void DensityGrid::sortPlane(int k, double isoLevel) {
    for (int j = 0; j < size; ++j) {
        belowRows[j + size * k] = belowMask(j, k, isoLevel);
    }
}

// Values and normals together, one row at a time; the outer samples take values only.
void DensityGrid::settleInnerPlane(int k) {
    const auto row = static_cast<std::ptrdiff_t>(size);
    const auto layer = static_cast<std::ptrdiff_t>(densityPlaneStride);
    for (int j = 0; j < size; ++j) {
        const double* rowValues = &densities[layer * k + row * j];
        GridPoint* rowPoints = &points[index(0, j, k)];
        if (j == 0 || j == size - 1) {
            for (int i = 0; i < size; ++i) {
                rowPoints[i].value = rowValues[i];
            }
            continue;
        }
        rowPoints[0].value = rowValues[0];
        rowPoints[size - 1].value = rowValues[size - 1];
        settleInnerRow(passKernel, rowValues, row, layer, rowPoints, 1, size - 1);
    }
}

void DensityGrid::copyDensitiesOfPlane(int k) {
    const std::size_t inPlane = static_cast<std::size_t>(size) * size;
    const double* values = &densities[densityPlaneStride * k];
    GridPoint* plane = &points[inPlane * k];
    for (std::size_t s = 0; s < inPlane; ++s) {
        plane[s].value = values[s];
    }
}

// The reference pass writes the points as it goes, as well as the compact copy.
void DensityGrid::sumDensitiesPlain(std::span<const Vector3> particles) {
    for (std::size_t s = 0; s < points.size(); ++s) {
        GridPoint& point = points[s];
        double value = 0.0;
        for (const Vector3& particle : particles) {
            const float dx = point.position.x - particle.x;
            const float dy = point.position.y - particle.y;
            const float dz = point.position.z - particle.z;
            value += 1.0 / (dx * dx + dy * dy + dz * dz);
        }
        point.value = value;
        densities[s] = value;
    }
}

void DensityGrid::computeNormals(WorkerPool* workers) {
    // Each plane reads only the settled densities, so the planes are independent.
    WorkerPool::shareOut(workers, std::max(size - 2, 0),
                         [this](int first, int end) { computeNormalsOfPlanes(first + 1, end + 1); });
}

// Reads the densities from their compact array, a quarter of the memory the points take.
void DensityGrid::computeNormalsOfPlanes(int first, int end) {
    const std::size_t row = static_cast<std::size_t>(size);
    const std::size_t layer = densityPlaneStride;
    for (int k = first; k < end; ++k) {
        for (int j = 1; j < size - 1; ++j) {
            const double* values = &densities[layer * k + row * j];
            GridPoint* normals = &points[index(0, j, k)];
            for (int i = 1; i < size - 1; ++i) {
                const double* v = values + i;
                // z falls as k grows, hence the reversed difference along k.
                normals[i].normal.set(static_cast<float>(v[-1] - v[1]),
                                      static_cast<float>(v[-row] - v[row]),
                                      static_cast<float>(v[layer] - v[-layer]));
            }
        }
    }
}

// Rows of samples are compared as bit masks: cell i of a row is cut unless bits i and i + 1 of the
// four sample rows around it are all set or all clear.
std::span<const GridCell* const> DensityGrid::findCutCells(double isoLevel,
                                                           WorkerPool* workers) {
    cutCells.clear();
    if (size < 2) {
        return cutCells;
    }
    if (size > maskedSizeLimit) {
        listCutCellsOneByOne(isoLevel);
        return cutCells;
    }
    if (sortedLevel != isoLevel) {
        WorkerPool::shareOut(workers, size, [this, isoLevel](int first, int end) {
            for (int k = first; k < end; ++k) {
                sortPlane(k, isoLevel);
            }
        });
        sortedLevel = isoLevel;
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
    const std::size_t first = densityPlaneStride * k + static_cast<std::size_t>(size) * j;
    return belowLevelMask(passKernel, densities.subspan(first, static_cast<std::size_t>(size)),
                          isoLevel);
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
