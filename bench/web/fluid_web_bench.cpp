// Cost of one frame of the liquid's set-up D (the pour) in the browser build, run under node: a
// simulation step and the whole grid polygonised, on one thread, for each kernel the build has.
// Each frame steps from the same state; the median of many frames stands against other programs
// sharing the machine. It also times set-up D's reciprocals taken by f64x2.div with nothing else
// around them, the floor under any kernel that divides for each of them. The last line gives the
// fastest kernel's median.

#include "../FluidSetUps.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include <wasm_simd128.h>

namespace velmorra {
namespace {

using namespace bench;

constexpr int warmUpFrames = 400;
constexpr int timedFrames = 600;

double frameMicroseconds(LiquidFrame& frame) {
    const auto start = std::chrono::steady_clock::now();
    frame.rewind();
    frame.fluid.simulate(frame.step);
    SummingSink sink;
    frame.fluid.polygonize(sink);
    const auto end = std::chrono::steady_clock::now();
    // Keeps the polygonising from being left out.
    if (sink.total.x == 12345.0f) {
        std::puts("");
    }
    return std::chrono::duration<double, std::micro>(end - start).count();
}

double median(std::vector<double>& times) {
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    return times[times.size() / 2];
}

// The engine compiles the module's functions again, optimised, while it runs them: the warm-up
// frames give it the time.
double medianFrame(FieldKernel kernel) {
    LiquidFrame frame(pour, kernel, nullptr);
    for (int f = 0; f < warmUpFrames; ++f) {
        frameMicroseconds(frame);
    }
    std::vector<double> times(timedFrames);
    for (double& time : times) {
        time = frameMicroseconds(frame);
    }
    return median(times);
}

// Eight independent sums keep the divider's pipeline full; the operands are squared distances
// across the grid's range, and the divisor is read at run time, as the kernels read it.
volatile double one = 1.0;

double divideOnly(const std::vector<float>& squared, int rounds) {
    const v128_t ones = wasm_f64x2_splat(one);
    v128_t sums[8];
    for (v128_t& sum : sums) {
        sum = wasm_f64x2_splat(0.0);
    }
    const int mask = static_cast<int>(squared.size() / 4) - 1;
    for (int r = 0; r < rounds; ++r) {
        for (int q = 0; q < 8; ++q) {
            const v128_t x = wasm_v128_load(&squared[4 * ((r + q) & mask)]);
            sums[q] =
                wasm_f64x2_add(sums[q], wasm_f64x2_div(ones, wasm_f64x2_promote_low_f32x4(x)));
        }
    }
    for (int q = 1; q < 8; ++q) {
        sums[0] = wasm_f64x2_add(sums[0], sums[q]);
    }
    return wasm_f64x2_extract_lane(sums[0], 0);
}

double medianDividerFloor(int reciprocals) {
    std::vector<float> squared(256);
    for (std::size_t i = 0; i < squared.size(); ++i) {
        squared[i] = 0.05f + 0.03f * static_cast<float>(i);
    }
    std::vector<double> times(timedFrames);
    double total = 0.0;
    for (double& time : times) {
        const auto start = std::chrono::steady_clock::now();
        total += divideOnly(squared, reciprocals / 16);
        time = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                   .count();
    }
    if (total == 12345.0) {
        std::puts("");
    }
    return median(times);
}

} // namespace
} // namespace velmorra

int main() {
    using namespace velmorra;
    for (const FieldKernel kernel : {FieldKernel::plain, FieldKernel::sse2}) {
        std::printf("%s: %.1f us\n", fieldKernelName(kernel), medianFrame(kernel));
    }
    // 80 particles, 25^3 samples.
    const int reciprocals = 80 * 25 * 25 * 25;
    std::printf("f64x2.div alone, %d reciprocals: %.1f us\n", reciprocals,
                medianDividerFloor(reciprocals));
    const FieldKernel fastest = fastestFieldKernel();
    const double median = medianFrame(fastest);
    std::printf("%s: %.1f us\nset-up D: %.1f us\n", fieldKernelName(fastest), median, median);
    return 0;
}
