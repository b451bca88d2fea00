// The native program's kernels: the processor is asked once which of them it runs.

#include "fluid/KernelEntries.h"

#include "fluid/Avx2Kernel.h"
#include "fluid/Avx512Kernel.h"
#include "fluid/Avx512SurfaceKernel.h"
#include "fluid/Sse2Kernel.h"

namespace velmorra {

namespace {

// SSE2 has the field sums, AVX2 the field, its grid pass and the reciprocals, AVX-512 every job.
KernelEntries sse2Entries() {
    KernelEntries entries;
    entries.fieldSums = Sse2Kernel::accumulateDensities;
    return entries;
}

KernelEntries avx2Entries() {
    KernelEntries entries;
    entries.fieldSums = Avx2Kernel::accumulateDensities;
    entries.gridPass = Avx2Kernel::accumulateGridDensities;
    entries.reciprocals = Avx2Kernel::reciprocalsOfFloats;
    return entries;
}

KernelEntries avx512Entries() {
    KernelEntries entries;
    entries.fieldSums = Avx512Kernel::accumulateDensities;
    entries.gridPass = Avx512Kernel::accumulateGridDensities;
    entries.settleRow = Avx512SurfaceKernel::settleInnerRow;
    entries.belowMask = Avx512SurfaceKernel::belowLevelMask;
    entries.reciprocals = Avx512Kernel::reciprocalsOfFloats;
    entries.pairForces = Avx512Kernel::sumPairForces;
    entries.cut = Avx512SurfaceKernel::cutCells;
    return entries;
}

bool asksProcessor(FieldKernel kernel) {
    __builtin_cpu_init();
    switch (kernel) {
    case FieldKernel::avx512:
        return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl");
    case FieldKernel::avx2:
        return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    case FieldKernel::plain:
    case FieldKernel::sse2:
        return true;
    case FieldKernel::wasmSimd:
        break;
    }
    return false;
}

} // namespace

bool isFieldKernelSupported(FieldKernel kernel) {
    static const bool avx512 = asksProcessor(FieldKernel::avx512);
    static const bool avx2 = asksProcessor(FieldKernel::avx2);
    switch (kernel) {
    case FieldKernel::avx512:
        return avx512;
    case FieldKernel::avx2:
        return avx2;
    case FieldKernel::plain:
    case FieldKernel::sse2:
        return true;
    case FieldKernel::wasmSimd:
        break;
    }
    return false;
}

FieldKernel fastestFieldKernel() {
    if (isFieldKernelSupported(FieldKernel::avx512)) {
        return FieldKernel::avx512;
    }
    if (isFieldKernelSupported(FieldKernel::avx2)) {
        return FieldKernel::avx2;
    }
    return FieldKernel::sse2;
}

const KernelEntries& kernelEntries(FieldKernel kernel) {
    static const KernelEntries none;
    static const KernelEntries sse2 = sse2Entries();
    static const KernelEntries avx2 = avx2Entries();
    static const KernelEntries avx512 = avx512Entries();
    if (!isFieldKernelSupported(kernel)) {
        return none;
    }
    switch (kernel) {
    case FieldKernel::sse2:
        return sse2;
    case FieldKernel::avx2:
        return avx2;
    case FieldKernel::avx512:
        return avx512;
    case FieldKernel::plain:
    case FieldKernel::wasmSimd:
        break;
    }
    return none;
}

} // namespace velmorra
