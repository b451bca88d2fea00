// The browser build's kernels: plain, sse2 (the compiler's vector types, which become
// WebAssembly SIMD) and its own wasmSimd, all of which every engine with SIMD runs.

#include "fluid/KernelEntries.h"

#include "fluid/Sse2Kernel.h"
#include "fluid/WasmSimdKernel.h"

namespace velmorra {

namespace {

KernelEntries sse2Entries() {
    KernelEntries entries;
    entries.fieldSums = Sse2Kernel::accumulateDensities;
    return entries;
}

KernelEntries wasmSimdEntries() {
    KernelEntries entries;
    entries.fieldSums = WasmSimdKernel::accumulateDensities;
    entries.gridPass = WasmSimdKernel::accumulateGridDensities;
    return entries;
}

} // namespace

bool isFieldKernelSupported(FieldKernel kernel) {
    return kernel == FieldKernel::plain || kernel == FieldKernel::sse2 ||
           kernel == FieldKernel::wasmSimd;
}

FieldKernel fastestFieldKernel() {
    return FieldKernel::wasmSimd;
}

const KernelEntries& kernelEntries(FieldKernel kernel) {
    static const KernelEntries none;
    static const KernelEntries sse2 = sse2Entries();
    static const KernelEntries wasmSimd = wasmSimdEntries();
    switch (kernel) {
    case FieldKernel::sse2:
        return sse2;
    case FieldKernel::wasmSimd:
        return wasmSimd;
    case FieldKernel::plain:
    case FieldKernel::avx2:
    case FieldKernel::avx512:
        break;
    }
    return none;
}

} // namespace velmorra
