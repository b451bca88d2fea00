// Cost of one frame of the liquid's set-up D (the pour) in the browser build, run under node: a
// simulation step and the whole grid polygonised, on one thread, for each kernel the build has.
// Each frame steps from the same state; the median of many frames stands against other programs
// sharing the machine. The last line gives the fastest kernel's median.

#include "../FluidSetUps.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

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
    std::nth_element(times.begin(), times.begin() + timedFrames / 2, times.end());
    return times[timedFrames / 2];
}

} // namespace
} // namespace velmorra

int main() {
    using namespace velmorra;
    for (const FieldKernel kernel : {FieldKernel::plain, FieldKernel::sse2}) {
        std::printf("%s: %.1f us\n", fieldKernelName(kernel), medianFrame(kernel));
    }
    const FieldKernel fastest = fastestFieldKernel();
    const double median = medianFrame(fastest);
    std::printf("%s: %.1f us\nset-up D: %.1f us\n", fieldKernelName(fastest), median, median);
    return 0;
}
