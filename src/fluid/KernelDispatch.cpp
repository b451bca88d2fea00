#include "fluid/KernelDispatch.h"

#include "fluid/Avx2Kernel.h"
#include "fluid/Avx512Kernel.h"
#include "fluid/Avx512SurfaceKernel.h"
#include "fluid/PlainKernel.h"
#include "fluid/Sse2Kernel.h"

#include <algorithm>

namespace velmorra {

namespace {

// Which jobs each instruction set's file has: the plain kernel every one, SSE2 the field sums,
// AVX2 the field and the reciprocals, AVX-512 all of them.
constexpr bool offers(FieldKernel kernel, KernelJob job) {
    switch (kernel) {
    case FieldKernel::plain:
    case FieldKernel::avx512:
        return true;
    case FieldKernel::sse2:
        return job == KernelJob::fieldSums;
    case FieldKernel::avx2:
        return job == KernelJob::fieldSums || job == KernelJob::gridPass ||
               job == KernelJob::reciprocals;
    }
    return false;
}

// The processor's answers, asked once.
bool runsHere(FieldKernel kernel) {
    static const bool avx512 = isFieldKernelSupported(FieldKernel::avx512);
    static const bool avx2 = isFieldKernelSupported(FieldKernel::avx2);
    switch (kernel) {
    case FieldKernel::avx512:
        return avx512;
    case FieldKernel::avx2:
        return avx2;
    case FieldKernel::plain:
    case FieldKernel::sse2:
        return true;
    }
    return false;
}

} // namespace

FieldKernel kernelRunning(FieldKernel kernel, KernelJob job) {
    return offers(kernel, job) && runsHere(kernel) ? kernel : FieldKernel::plain;
}

void accumulateDensities(FieldKernel kernel, const SampleColumns& samples,
                         std::span<const Vector3> particles, std::span<double> densities) {
    switch (kernelRunning(kernel, KernelJob::fieldSums)) {
    case FieldKernel::avx512:
        return Avx512Kernel::accumulateDensities(samples, particles, densities);
    case FieldKernel::avx2:
        return Avx2Kernel::accumulateDensities(samples, particles, densities);
    case FieldKernel::sse2:
        return Sse2Kernel::accumulateDensities(samples, particles, densities);
    case FieldKernel::plain:
        break;
    }
    PlainKernel::accumulateDensities(samples, particles, densities);
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
    switch (kernelRunning(kernel, KernelJob::gridPass)) {
    case FieldKernel::avx512:
        return Avx512Kernel::accumulateGridDensities(axes, squaredZ.data(), firstBlock, endBlock,
                                                     particles, densities);
    case FieldKernel::avx2:
        return Avx2Kernel::accumulateGridDensities(axes, squaredZ.data(), firstBlock, endBlock,
                                                   particles, densities);
    case FieldKernel::sse2:
    case FieldKernel::plain:
        break;
    }
    PlainKernel::accumulateGridDensities(axes, firstBlock, endBlock, particles, densities);
}

void settleInnerRow(FieldKernel kernel, const double* values, std::ptrdiff_t row,
                    std::ptrdiff_t layer, GridPoint* points, int first, int end) {
    kernelRunning(kernel, KernelJob::settleRows) == FieldKernel::avx512
        ? Avx512SurfaceKernel::settleInnerRow(values, row, layer, points, first, end)
        : PlainKernel::settleInnerRow(values, row, layer, points, first, end);
}

std::uint64_t belowLevelMask(FieldKernel kernel, std::span<const double> values, double level) {
    values = values.first(std::min<std::size_t>(values.size(), 64));
    return kernelRunning(kernel, KernelJob::belowMasks) == FieldKernel::avx512
               ? Avx512SurfaceKernel::belowLevelMask(values, level)
               : PlainKernel::belowLevelMask(values, level);
}

std::size_t reciprocalsOfFloats(FieldKernel kernel, std::span<const float> values,
                                std::span<double> reciprocals) {
    switch (kernelRunning(kernel, KernelJob::reciprocals)) {
    case FieldKernel::avx512:
        return Avx512Kernel::reciprocalsOfFloats(values, reciprocals);
    case FieldKernel::avx2:
        return Avx2Kernel::reciprocalsOfFloats(values, reciprocals);
    case FieldKernel::sse2:
    case FieldKernel::plain:
        break;
    }
    return PlainKernel::reciprocalsOfFloats(values, reciprocals);
}

void sumPairForces(FieldKernel kernel, std::span<const Vector3> positions, int first, int end,
                   const PairTerms& terms, std::span<Vector3> forces) {
    kernelRunning(kernel, KernelJob::pairForces) == FieldKernel::avx512
        ? Avx512Kernel::sumPairForces(positions, first, end, terms, forces)
        : PlainKernel::sumPairForces(positions, first, end, terms, forces);
}

int cutSurfaceCells(FieldKernel kernel, std::span<const GridCell* const> cells, double isoLevel,
                    std::span<CutCell> cut, std::span<EdgeCrossing> crossings) {
    return kernelRunning(kernel, KernelJob::cut) == FieldKernel::avx512
               ? Avx512SurfaceKernel::cutCells(cells, isoLevel, cut, crossings)
               : PlainKernel::cutCells(cells, isoLevel, cut, crossings);
}

} // namespace velmorra
