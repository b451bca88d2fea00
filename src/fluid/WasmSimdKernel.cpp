#include "fluid/WasmSimdKernel.h"

#include "fluid/BlockLanes.h"

#include <wasm_simd128.h>

#include <vector>

// This file must be compiled with -ffp-contract=off, like the rest of the liquid, and with
// -msimd128.

namespace velmorra {

namespace {

// The divisor of the reciprocals, read once per loop: the engine would otherwise build the
// constant afresh at every division.
volatile double oneForDivisions = 1.0;

inline v128_t ones() {
    return wasm_f64x2_splat(oneForDivisions);
}

inline v128_t upperHalf(v128_t floats) {
    return wasm_i32x4_shuffle(floats, floats, 2, 3, 2, 3);
}

// The sums of four samples' reciprocals, the lower two and the upper two: each float squared
// distance widened to double and divided into one, as the plain kernel does.
inline void addReciprocals(v128_t squared, v128_t& lower, v128_t& upper, v128_t one) {
    lower = wasm_f64x2_add(lower, wasm_f64x2_div(one, wasm_f64x2_promote_low_f32x4(squared)));
    upper = wasm_f64x2_add(upper,
                           wasm_f64x2_div(one, wasm_f64x2_promote_low_f32x4(upperHalf(squared))));
}

inline v128_t squaredDistances(v128_t x, v128_t y, v128_t z, const Vector3& particle) {
    const v128_t dx = wasm_f32x4_sub(x, wasm_f32x4_splat(particle.x));
    const v128_t dy = wasm_f32x4_sub(y, wasm_f32x4_splat(particle.y));
    const v128_t dz = wasm_f32x4_sub(z, wasm_f32x4_splat(particle.z));
    return wasm_f32x4_add(wasm_f32x4_add(wasm_f32x4_mul(dx, dx), wasm_f32x4_mul(dy, dy)),
                          wasm_f32x4_mul(dz, dz));
}

// Each particle's in-plane squared distances to a block, (dx^2 + dy^2) in float as the plain pass
// makes them, once for all planes. Lanes past the plane's end take 1, which keeps their sums
// finite; they are never read.
void fillInPlane(const BlockLanes& lanes, std::span<const Vector3> particles,
                 std::vector<float>& inPlane) {
    inPlane.resize(particles.size() * fieldBlockSize);
    for (int quarter = 0; quarter < fieldBlockSize; quarter += 4) {
        const v128_t x = wasm_v128_load(lanes.x + quarter);
        const v128_t y = wasm_v128_load(lanes.y + quarter);
        const v128_t inside =
            wasm_i32x4_make(lanes.inPlane[quarter] ? -1 : 0, lanes.inPlane[quarter + 1] ? -1 : 0,
                            lanes.inPlane[quarter + 2] ? -1 : 0, lanes.inPlane[quarter + 3] ? -1 : 0);
        for (std::size_t p = 0; p < particles.size(); ++p) {
            const v128_t dx = wasm_f32x4_sub(x, wasm_f32x4_splat(particles[p].x));
            const v128_t dy = wasm_f32x4_sub(y, wasm_f32x4_splat(particles[p].y));
            const v128_t squared =
                wasm_v128_bitselect(wasm_f32x4_add(wasm_f32x4_mul(dx, dx), wasm_f32x4_mul(dy, dy)),
                                    wasm_f32x4_splat(1.0f), inside);
            wasm_v128_store(&inPlane[p * fieldBlockSize + quarter], squared);
        }
    }
}

// Four samples of a block through `planes` planes at once, every sum held in a register from the
// first particle to the last, in index order. Each plane adds its dz^2 to the in-plane part.
template <int planes>
void sumQuarterPlanes(const float* inPlane, const float* squaredZ, std::size_t planeCount,
                      std::size_t particleCount, double* sums, std::size_t stride) {
    const v128_t one = ones();
    v128_t lower[planes];
    v128_t upper[planes];
    for (int q = 0; q < planes; ++q) {
        lower[q] = wasm_f64x2_splat(0.0);
        upper[q] = wasm_f64x2_splat(0.0);
    }
    for (std::size_t p = 0; p < particleCount; ++p) {
        const v128_t inPlaneSquared = wasm_v128_load(inPlane + p * fieldBlockSize);
        const float* planeSquared = squaredZ + p * planeCount;
        for (int q = 0; q < planes; ++q) {
            addReciprocals(wasm_f32x4_add(inPlaneSquared, wasm_v128_load32_splat(planeSquared + q)),
                           lower[q], upper[q], one);
        }
    }
    for (int q = 0; q < planes; ++q) {
        wasm_v128_store(sums + q * stride, lower[q]);
        wasm_v128_store(sums + q * stride + 2, upper[q]);
    }
}

// Two planes keep the divider busy; more run out of registers.
constexpr int planesPerSweep = 2;

void sumBlock(const float* inPlane, const float* squaredZ, std::size_t planeCount,
              std::size_t particleCount, double* sums, std::size_t stride) {
    for (int quarter = 0; quarter < fieldBlockSize; quarter += 4) {
        std::size_t k = 0;
        for (; k + planesPerSweep <= planeCount; k += planesPerSweep) {
            sumQuarterPlanes<planesPerSweep>(inPlane + quarter, squaredZ + k, planeCount,
                                             particleCount, sums + k * stride + quarter, stride);
        }
        for (; k < planeCount; ++k) {
            sumQuarterPlanes<1>(inPlane + quarter, squaredZ + k, planeCount, particleCount,
                                sums + k * stride + quarter, stride);
        }
    }
}

} // namespace

void WasmSimdKernel::accumulateDensities(const SampleColumns& samples,
                                         std::span<const Vector3> particles,
                                         std::span<double> densities) {
    const v128_t one = ones();
    for (std::size_t base = 0; base + 4 <= densities.size(); base += 4) {
        const v128_t x = wasm_v128_load(&samples.x[base]);
        const v128_t y = wasm_v128_load(&samples.y[base]);
        const v128_t z = wasm_v128_load(&samples.z[base]);
        v128_t lower = wasm_f64x2_splat(0.0);
        v128_t upper = wasm_f64x2_splat(0.0);
        for (const Vector3& particle : particles) {
            addReciprocals(squaredDistances(x, y, z, particle), lower, upper, one);
        }
        wasm_v128_store(&densities[base], lower);
        wasm_v128_store(&densities[base + 2], upper);
    }
}

void WasmSimdKernel::accumulateGridDensities(const GridAxes& axes, const float* squaredZ,
                                             int firstBlock, int endBlock,
                                             std::span<const Vector3> particles,
                                             std::span<double> densities) {
    const std::size_t stride = fieldPlaneStride(axes.x.size());
    thread_local std::vector<float> inPlane;
    for (int block = firstBlock; block < endBlock; ++block) {
        const std::size_t base = static_cast<std::size_t>(block) * fieldBlockSize;
        fillInPlane(BlockLanes::of(axes, base), particles, inPlane);
        sumBlock(inPlane.data(), squaredZ, axes.z.size(), particles.size(), &densities[base],
                 stride);
    }
}

} // namespace velmorra
