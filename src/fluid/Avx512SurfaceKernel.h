#pragma once

#include "fluid/GridPoint.h"
#include "fluid/MarchingCubes.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace velmorra {

// The surface's jobs with AVX-512, eight points or edges at a time: settling the field's values
// and normals into the points, sorting them against the level and cutting the cells. Avx512Kernel
// has the field's.
class Avx512SurfaceKernel {
  public:
    [[gnu::target("avx512f")]] static void settleInnerRow(const double* values, std::ptrdiff_t row,
                                                          std::ptrdiff_t layer, GridPoint* points,
                                                          int first, int end);
    [[gnu::target("avx512f")]] static std::uint64_t belowLevelMask(std::span<const double> values,
                                                                   double level);
    [[gnu::target("avx512f,avx512vl")]] static int cutCells(std::span<const GridCell* const> cells,
                                                            double isoLevel, std::span<CutCell> cut,
                                                            std::span<EdgeCrossing> crossings);
};

} // namespace velmorra
