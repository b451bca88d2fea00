#include "fluid/KernelDispatch.h"

#include "fluid/KernelEntries.h"
#include "fluid/PlainKernel.h"

#include <algorithm>

namespace velmorra {

namespace {

bool offers(const KernelEntries& entries, KernelJob job) {
    switch (job) {
    case KernelJob::fieldSums:
        return entries.fieldSums != nullptr;
    case KernelJob::gridPass:
        return entries.gridPass != nullptr;
    case KernelJob::settleRows:
        return entries.settleRow != nullptr;
    case KernelJob::belowMasks:
        return entries.belowMask != nullptr;
    case KernelJob::reciprocals:
        return entries.reciprocals != nullptr;
    case KernelJob::pairForces:
        return entries.pairForces != nullptr;
    case KernelJob::cut:
        return entries.cut != nullptr;
    }
    return false;
}

} // namespace

FieldKernel kernelRunning(FieldKernel kernel, KernelJob job) {
    return offers(kernelEntries(kernel), job) ? kernel : FieldKernel::plain;
}

void accumulateDensities(FieldKernel kernel, const SampleColumns& samples,
                         std::span<const Vector3> particles, std::span<double> densities) {
    const auto own = kernelEntries(kernel).fieldSums;
    own != nullptr ? own(samples, particles, densities)
                   : PlainKernel::accumulateDensities(samples, particles, densities);
}

bool hasFieldGridPass(FieldKernel kernel) {
    return kernel != FieldKernel::plain && kernelRunning(kernel, KernelJob::gridPass) == kernel;
}

void fillPlaneOffsets(std::span<const float> axisZ, std::span<const Vector3> particles,
                      std::vector<float>& squaredZ) {
    squaredZ.resize(particles.size() * axisZ.size());
    float* next = squaredZ.data();
    for (const Vector3& particle : particles) {
        for (const float z : axisZ) {
            const float dz = z - particle.z;
            *next++ = dz * dz;
        }
    }
}

void accumulateGridDensities(FieldKernel kernel, const GridAxes& axes,
                             std::span<const float> squaredZ, int firstBlock, int endBlock,
                             std::span<const Vector3> particles, std::span<double> densities) {
    if (squaredZ.size() != axes.z.size() * particles.size()) {
        return;
    }
    const auto own = kernelEntries(kernel).gridPass;
    own != nullptr
        ? own(axes, squaredZ.data(), firstBlock, endBlock, particles, densities)
        : PlainKernel::accumulateGridDensities(axes, firstBlock, endBlock, particles, densities);
}

void settleInnerRow(FieldKernel kernel, const double* values, std::ptrdiff_t row,
                    std::ptrdiff_t layer, GridPoint* points, int first, int end) {
    const auto own = kernelEntries(kernel).settleRow;
    own != nullptr ? own(values, row, layer, points, first, end)
                   : PlainKernel::settleInnerRow(values, row, layer, points, first, end);
}

std::uint64_t belowLevelMask(FieldKernel kernel, std::span<const double> values, double level) {
    values = values.first(std::min<std::size_t>(values.size(), 64));
    const auto own = kernelEntries(kernel).belowMask;
    return own != nullptr ? own(values, level) : PlainKernel::belowLevelMask(values, level);
}

std::size_t reciprocalsOfFloats(FieldKernel kernel, std::span<const float> values,
                                std::span<double> reciprocals) {
    const auto own = kernelEntries(kernel).reciprocals;
    return own != nullptr ? own(values, reciprocals)
                          : PlainKernel::reciprocalsOfFloats(values, reciprocals);
}

void sumPairForces(FieldKernel kernel, std::span<const Vector3> positions, int first, int end,
                   const PairTerms& terms, std::span<Vector3> forces) {
    const auto own = kernelEntries(kernel).pairForces;
    own != nullptr ? own(positions, first, end, terms, forces)
                   : PlainKernel::sumPairForces(positions, first, end, terms, forces);
}

int cutSurfaceCells(FieldKernel kernel, std::span<const GridCell* const> cells, double isoLevel,
                    std::span<CutCell> cut, std::span<EdgeCrossing> crossings) {
    const auto own = kernelEntries(kernel).cut;
    return own != nullptr ? own(cells, isoLevel, cut, crossings)
                          : PlainKernel::cutCells(cells, isoLevel, cut, crossings);
}

} // namespace velmorra
