#pragma once

#include "fluid/FieldKernel.h"
#include "fluid/GridPoint.h"
#include "fluid/MarchingCubes.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace velmorra {

// The jobs a kernel may do. Each instruction set's file offers some of them under these names;
// a job it lacks, or any job on a processor without its instructions, runs on the plain kernel.
enum class KernelJob { fieldSums, gridPass, settleRows, belowMasks, reciprocals, pairForces, cut };

// The kernel that really runs job when kernel is chosen on this processor.
FieldKernel kernelRunning(FieldKernel kernel, KernelJob job);

// densities[s] = sum over particles p, in index order, of 1 / |sample s - p|^2, with the squared
// distance in float and the reciprocal and sum in double. densities must hold as many entries as
// the columns, a multiple of fieldBlockSize.
void accumulateDensities(FieldKernel kernel, const SampleColumns& samples,
                         std::span<const Vector3> particles, std::span<double> densities);

// Whether the kernel has a grid pass of its own on this processor. It sums the same terms in the
// same order as the plain pass, but works out each particle's in-plane distances once for all
// planes.
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
// hold every neighbour asked for; the points' positions are left alone.
void settleInnerRow(FieldKernel kernel, const double* values, std::ptrdiff_t row,
                    std::ptrdiff_t layer, GridPoint* points, int first, int end);

// Bit i tells whether values[i] < level (NaN is not), for the first 64 values at most.
std::uint64_t belowLevelMask(FieldKernel kernel, std::span<const double> values, double level);

// reciprocals[i] = 1 / double(values[i]) the way the kernel's field pass takes it, for as many
// whole vectors as values holds: by its fast reciprocal where the kernel trusts that, by the
// divider for the values it hands to the divider instead. Returns how many went to the divider;
// the plain kernel divides everything.
std::size_t reciprocalsOfFloats(FieldKernel kernel, std::span<const float> values,
                                std::span<double> reciprocals);

// forces[i], for i in first .. end - 1, becomes the sum over every other particle j, in index
// order, of the pair force (q - inverseRest) q^2 twiceMass (positions[i] - positions[j]), with
// q = 1 / max(|positions[i] - positions[j]|, nearest) and the length's squares summed in double.
void sumPairForces(FieldKernel kernel, std::span<const Vector3> positions, int first, int end,
                   const PairTerms& terms, std::span<Vector3> forces);

// MarchingCubes::cutCells on the chosen kernel.
int cutSurfaceCells(FieldKernel kernel, std::span<const GridCell* const> cells, double isoLevel,
                    std::span<CutCell> cut, std::span<EdgeCrossing> crossings);

} // namespace velmorra
