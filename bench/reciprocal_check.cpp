// Shows that the field kernels' divider-free reciprocals equal 1.0 / double(x) bit for bit for
// every positive float x: zero, the subnormals, every normal float and infinity. Each kernel
// this processor runs is tried; a kernel's result for a value counts whether the kernel took it
// by its fast reciprocal or handed it to the divider, since the field pass does the same.
// Exits with 1 on the first kernel that differs anywhere. Build it optimised: it takes
// 2^31 reciprocals per kernel.

#include "fluid/KernelDispatch.h"
#include "fluid/WorkerPool.h"

#include <atomic>
#include <bit>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <span>
#include <vector>

namespace velmorra {
namespace {

constexpr std::uint32_t positiveInfinity = 0x7F800000;
constexpr std::uint32_t valuesPerPart = 1u << 14;
constexpr int parts = positiveInfinity / valuesPerPart + 1;

struct Mismatch {
    std::uint32_t bits;
    double got;
    double expected;
};

struct Tally {
    std::atomic<std::uint64_t> divided{0};
    std::atomic<bool> failed{false};
    Mismatch first{};
    std::atomic_flag reported;
};

// Part p holds the float bit patterns from p * 2^14 up to infinity; the last part is filled up
// with ones, which every kernel takes by its fast reciprocal. Each thread keeps its buffers.
void checkPart(std::span<const FieldKernel> kernels, int part, std::span<Tally> tallies) {
    thread_local std::vector<float> values(valuesPerPart);
    thread_local std::vector<double> got(valuesPerPart);
    thread_local std::vector<double> expected(valuesPerPart);
    const std::uint32_t first = static_cast<std::uint32_t>(part) * valuesPerPart;
    for (std::uint32_t i = 0; i < valuesPerPart; ++i) {
        values[i] = first + i <= positiveInfinity ? std::bit_cast<float>(first + i) : 1.0f;
    }
    for (std::uint32_t i = 0; i < valuesPerPart; ++i) {
        expected[i] = 1.0 / static_cast<double>(values[i]);
    }
    for (std::size_t k = 0; k < kernels.size(); ++k) {
        Tally& tally = tallies[k];
        tally.divided += reciprocalsOfFloats(kernels[k], values, got);
        if (std::memcmp(got.data(), expected.data(), got.size() * sizeof(double)) == 0) {
            continue;
        }
        for (std::uint32_t i = 0; i < valuesPerPart; ++i) {
            if (std::bit_cast<std::uint64_t>(got[i]) !=
                std::bit_cast<std::uint64_t>(expected[i])) {
                tally.failed = true;
                if (!tally.reported.test_and_set()) {
                    tally.first = {std::bit_cast<std::uint32_t>(values[i]), got[i], expected[i]};
                }
                break;
            }
        }
    }
}

bool report(FieldKernel kernel, const Tally& tally) {
    if (tally.failed) {
        std::printf("%s: 1 / %a (float bits 0x%08x) gave %a, not %a\n", fieldKernelName(kernel),
                    static_cast<double>(std::bit_cast<float>(tally.first.bits)), tally.first.bits,
                    tally.first.got, tally.first.expected);
        return false;
    }
    std::printf("%s: all %u positive floats from zero to infinity exact, %llu of them left to "
                "the divider\n",
                fieldKernelName(kernel), positiveInfinity + 1,
                static_cast<unsigned long long>(tally.divided.load()));
    return true;
}

} // namespace
} // namespace velmorra

int main() {
    using namespace velmorra;
    std::vector<FieldKernel> kernels;
    for (FieldKernel kernel : {FieldKernel::avx2, FieldKernel::avx512}) {
        if (isFieldKernelSupported(kernel)) {
            kernels.push_back(kernel);
        } else {
            std::printf("%s: not supported on this processor, not checked\n",
                        fieldKernelName(kernel));
        }
    }
    if (kernels.empty()) {
        std::printf("No divider-free kernel runs here; the field pass divides.\n");
        return 0;
    }
    const auto start = std::chrono::steady_clock::now();
    std::vector<Tally> tallies(kernels.size());
    WorkerPool workers(WorkerPool::coreCount());
    workers.run(parts, [&](int part) { checkPart(kernels, part, tallies); });
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    bool allExact = true;
    for (std::size_t k = 0; k < kernels.size(); ++k) {
        allExact = report(kernels[k], tallies[k]) && allExact;
    }
    std::printf("%.1f s on %d threads\n", seconds.count(), workers.getThreadCount());
    return allExact ? 0 : 1;
}
