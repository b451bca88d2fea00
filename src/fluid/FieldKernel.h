#pragma once

#include "fluid/GridPoint.h"
#include "math/Vector3.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace velmorra {

// Ways to run the field pass. All give the same bits: each sample sums its particles' terms in
// index order in double precision; the vector kernels only work on several samples at a time.
// SSE2 divides; AVX2 (with FMA) and AVX-512 build the correctly rounded reciprocal from the
// processor's approximation instead, since the divider is narrower than the rest of the unit.
enum class FieldKernel { plain, sse2, avx2, avx512 };

// Sample coordinates in columns, padded to a multiple of fieldBlockSize samples.
struct SampleColumns {
    std::span<const float> x;
    std::span<const float> y;
    std::span<const float> z;
};

inline constexpr int fieldBlockSize = 16;

// A regular grid's sample coordinates, axis by axis: sample (i, j, k) lies at (x[i], y[j], z[k]),
// and the field of such a grid can be taken block by block through every plane along k.
struct GridAxes {
    std::span<const float> x;
    std::span<const float> y;
    std::span<const float> z;
};

// Densities of a grid pass: plane after plane, sample (i, j) of a plane at i + n j, each plane
// padded to a whole number of blocks.
std::size_t fieldPlaneStride(std::size_t n);

bool isFieldKernelSupported(FieldKernel kernel);
// The widest kernel this processor runs; never plain, since SSE2 is part of every x86-64.
FieldKernel fastestFieldKernel();
const char* fieldKernelName(FieldKernel kernel);

// densities[s] = sum over particles p, in index order, of 1 / |sample s - p|^2, with the squared
// distance in float and the reciprocal and sum in double. Runs the SSE2 kernel for plain or for a
// kernel this processor lacks; densities must hold as many entries as the columns.
void accumulateDensities(FieldKernel kernel, const SampleColumns& samples,
                         std::span<const Vector3> particles, std::span<double> densities);

// Whether the kernel has a grid pass on this processor. It sums the same terms in the same order
// as the plain pass, but works out each particle's in-plane distances once for all planes.
bool hasFieldGridPass(FieldKernel kernel);
// squaredZ[p * planes + k] = dz^2 of particle p to plane k, in float as the plain pass makes it.
// Made once per grid pass and shared by its parts.
void fillPlaneOffsets(std::span<const float> axisZ, std::span<const Vector3> particles,
                      std::vector<float>& squaredZ);
// The densities of in-plane blocks firstBlock .. endBlock - 1 (fieldBlockSize samples each) in
// every plane of a grid with as many samples along x as along y, into densities laid out as
// fieldPlaneStride gives: plane k from k times the stride. Other entries are left alone, and
// nothing is done when squaredZ is not fillPlaneOffsets' for these axes and particles.
void accumulateGridDensities(FieldKernel kernel, const GridAxes& axes,
                             std::span<const float> squaredZ, int firstBlock, int endBlock,
                             std::span<const Vector3> particles, std::span<double> densities);

// For i in first .. end - 1: points[i] takes values[i] as its value and, as its normal, the
// central differences towards lower density (values[i - 1] - values[i + 1], values[i - row] -
// values[i + row], values[i + layer] - values[i - layer]), each rounded to float. values must
// hold every neighbour asked for.
void settleInnerRow(const double* values, std::ptrdiff_t row, std::ptrdiff_t layer, GridPoint* points,
                    int first, int end);

// Bit i tells whether values[i] < level (NaN is not), for the first 64 values at most.
std::uint64_t belowLevelMask(std::span<const double> values, double level);

// reciprocals[i] = 1 / double(values[i]) the way the kernel's field pass takes it, for as many
// whole vectors as values holds: by its fast reciprocal where the kernel trusts that, by the
// divider for the values it hands to the divider instead. Returns how many went to the divider.
// The plain and SSE2 kernels divide everything.
std::size_t reciprocalsOfFloats(FieldKernel kernel, std::span<const float> values,
                                std::span<double> reciprocals);

} // namespace velmorra
