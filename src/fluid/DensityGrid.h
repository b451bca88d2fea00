#pragma once

#include "fluid/FieldKernel.h"
#include "fluid/GridCell.h"
#include "fluid/GridPoint.h"
#include "fluid/WorkerPool.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace velmorra {

// A regular grid of density samples over a box, with the cubes between them. Sample (i, j, k) is
// points[i + n(j + nk)]: i runs along +x, j along +y and k along -z. Cells point into points, so a
// grid is never copied; moving keeps the pointers valid.
class DensityGrid {
  public:
    DensityGrid() = default;
    DensityGrid(const DensityGrid&) = delete;
    DensityGrid& operator=(const DensityGrid&) = delete;
    DensityGrid(DensityGrid&&) = default;
    DensityGrid& operator=(DensityGrid&&) = default;

    // n samples per axis, 2 half / n apart, from -half up to one spacing short of +half along x
    // and y, and from +halfDepth down to one spacing short of -halfDepth along z. Sizes below 1
    // give an empty grid.
    void layOut(int n, float halfWidth, float halfHeight, float halfDepth);
    void clear();

    // Every sample's density: the sum over the particles, in index order, of the inverse squared
    // distance. All kernels give the same bits. With workers, the vector kernels share the
    // samples out among the pool's threads; the plain pass always runs on the calling thread.
    void computeField(std::span<const Vector3> particles, FieldKernel kernel,
                      WorkerPool* workers = nullptr);
    // computeField then computeNormals, with each point written once; the samples are also
    // sorted against isoLevel while they are at hand, which findCutCells at that level reuses.
    void computeFieldAndNormals(std::span<const Vector3> particles, FieldKernel kernel,
                                double isoLevel, WorkerPool* workers = nullptr);
    // Central differences towards lower density; the outer layer keeps a zero normal. With
    // workers, the planes are shared out among the pool's threads.
    void computeNormals(WorkerPool* workers = nullptr);

    // The cells, in array order, whose corners do not all lie on the same side of the iso level
    // (a corner is below when its value < isoLevel); all other cells make no surface.
    // With workers, the samples are compared with the level on the pool's threads; the list is
    // the same.
    std::span<const GridCell* const> findCutCells(double isoLevel, WorkerPool* workers = nullptr);

    int getSize() const { return size; }
    std::span<const GridPoint> getPoints() const { return points; }
    std::span<const GridCell> getCells() const { return cells; }
    const GridPoint& point(int i, int j, int k) const { return points[index(i, j, k)]; }

  private:
    int index(int i, int j, int k) const { return i + size * (j + size * k); }
    void placePoints(float halfWidth, float halfHeight, float halfDepth);
    void wireCells();
    void copyToColumns();
    void allocateDensities(std::size_t count);
    void sumDensities(std::span<const Vector3> particles, FieldKernel kernel, WorkerPool* workers);
    void sumDensitiesPlain(std::span<const Vector3> particles);
    void sumBlocks(std::span<const Vector3> particles, FieldKernel kernel, int part,
                   int parts);
    void sumColumns(std::span<const Vector3> particles, FieldKernel kernel, int part,
                    int parts);
    // What settling the planes writes into the points; sortLevel, when set, is the level the
    // below masks are made for.
    struct Settling {
        bool values;
        bool normals;
        const double* sortLevel;
    };
    void settlePlanes(WorkerPool* workers, const Settling& settling);
    void copyDensitiesOfPlane(int k);
    void settleInnerPlane(int k);
    void sortPlane(int k, double isoLevel);
    void computeNormalsOfPlanes(int first, int end);
    std::uint64_t belowMask(int j, int k, double isoLevel) const;
    void listCutCellsOfRow(int j, int k, std::uint64_t cutMask);
    void listCutCellsOneByOne(double isoLevel);

    int size = 0;
    std::vector<GridPoint> points;
    std::vector<GridCell> cells;
    // The sample coordinates again, column by column and padded to whole kernel blocks, with
    // room for the kernels' results.
    std::vector<float> columnX;
    std::vector<float> columnY;
    std::vector<float> columnZ;
    // The coordinates along each axis, for the kernels that work plane by plane.
    std::vector<float> axisX;
    std::vector<float> axisY;
    std::vector<float> axisZ;
    // Each particle's squared offset to every plane, for the parts of one grid pass.
    std::vector<float> planeOffsets;
    // Every sample's density once more, compactly: sample (i, j, k) at i + n j + k times the
    // plane stride, which the last field pass chose. The view starts on a cache line.
    std::vector<double> densityStorage;
    std::span<double> densities;
    std::size_t densityPlaneStride = 0;
    // The kernel of the last field pass, which also settles its points and sorts them.
    FieldKernel passKernel = FieldKernel::plain;
    // Bit i of belowRows[j + n k] tells whether sample (i, j, k) lies below sortedLevel, for
    // grids no wider than a mask.
    static constexpr int maskedSizeLimit = 64;
    std::vector<std::uint64_t> belowRows;
    std::optional<double> sortedLevel;
    std::vector<const GridCell*> cutCells;
};

} // namespace velmorra
