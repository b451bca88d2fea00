#pragma once

#include "fluid/FieldKernel.h"
#include "fluid/GridPoint.h"
#include "fluid/MarchingCubes.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace velmorra {

// The jobs that one kernel does itself, as KernelDispatch describes them; an empty entry is a job
// the plain kernel does for it. Which kernels a build has, and which of them the processor runs,
// is the business of the build's own file (the x86 one asks the processor, the browser one knows
// its kernels), so the dispatch itself compiles everywhere.
struct KernelEntries {
    void (*fieldSums)(const SampleColumns& samples, std::span<const Vector3> particles,
                      std::span<double> densities) = nullptr;
    // squaredZ is fillPlaneOffsets' for these axes and particles.
    void (*gridPass)(const GridAxes& axes, const float* squaredZ, int firstBlock, int endBlock,
                     std::span<const Vector3> particles, std::span<double> densities) = nullptr;
    void (*settleRow)(const double* values, std::ptrdiff_t row, std::ptrdiff_t layer,
                      GridPoint* points, int first, int end) = nullptr;
    std::uint64_t (*belowMask)(std::span<const double> values, double level) = nullptr;
    std::size_t (*reciprocals)(std::span<const float> values,
                               std::span<double> reciprocals) = nullptr;
    void (*pairForces)(std::span<const Vector3> positions, int first, int end,
                       const PairTerms& terms, std::span<Vector3> forces) = nullptr;
    int (*cut)(std::span<const GridCell* const> cells, double isoLevel, std::span<CutCell> cut,
               std::span<EdgeCrossing> crossings) = nullptr;
};

// The kernel's own jobs in this build on this processor: none for plain, and none for a kernel
// that this build lacks or this processor cannot run.
const KernelEntries& kernelEntries(FieldKernel kernel);

} // namespace velmorra
