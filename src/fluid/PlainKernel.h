#pragma once

#include "fluid/FieldKernel.h"
#include "fluid/GridPoint.h"
#include "fluid/MarchingCubes.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace velmorra {

// Every job one sample, particle or edge at a time, with nothing but the compiler's plain
// arithmetic: the reference whose bits every other kernel gives, and what runs where a kernel
// lacks a job or the processor lacks its instructions. KernelDispatch describes the jobs.
class PlainKernel {
  public:
    static void accumulateDensities(const SampleColumns& samples,
                                    std::span<const Vector3> particles,
                                    std::span<double> densities);
    static void accumulateGridDensities(const GridAxes& axes, int firstBlock, int endBlock,
                                        std::span<const Vector3> particles,
                                        std::span<double> densities);
    // One block of plane k of a grid pass, from in-plane sample base, into sums; the vector
    // kernels hand over the blocks whose terms their fast reciprocals cannot take.
    static void accumulateGridBlock(const GridAxes& axes, std::size_t k, std::size_t base,
                                    std::span<const Vector3> particles, double* sums);
    static void settleInnerRow(const double* values, std::ptrdiff_t row, std::ptrdiff_t layer,
                               GridPoint* points, int first, int end);
    static std::uint64_t belowLevelMask(std::span<const double> values, double level);
    static std::size_t reciprocalsOfFloats(std::span<const float> values,
                                           std::span<double> reciprocals);
    static void sumPairForces(std::span<const Vector3> positions, int first, int end,
                              const PairTerms& terms, std::span<Vector3> forces);
    static int cutCells(std::span<const GridCell* const> cells, double isoLevel,
                        std::span<CutCell> cut, std::span<EdgeCrossing> crossings);
};

} // namespace velmorra
