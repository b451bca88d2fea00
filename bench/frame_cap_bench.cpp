// Pacing of the frame cap: the intervals between frame starts at 30 frames per
// second, with a few milliseconds of work in each frame.
#include "platform/Timer.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

namespace {

void BM_FrameCapPacing30(benchmark::State& state) {
    velmorra::Timer timer;
    timer.init();
    const float periodMs = 1000.0f / 30.0f;
    std::vector<double> intervalsMs;
    auto previousStart = std::chrono::steady_clock::now();
    bool first = true;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (!first) {
            intervalsMs.push_back(
                std::chrono::duration<double, std::milli>(start - previousStart).count());
        }
        first = false;
        previousStart = start;
        timer.mark();
        std::this_thread::sleep_for(std::chrono::milliseconds(state.range(0)));
        timer.waitUntilElapsed(periodMs);
    }
    if (intervalsMs.empty()) {
        return;
    }
    std::sort(intervalsMs.begin(), intervalsMs.end());
    const double median = intervalsMs[intervalsMs.size() / 2];
    double worst = 0.0;
    for (const double interval : intervalsMs) {
        worst = std::max(worst, std::abs(interval - periodMs));
    }
    state.counters["median_ms"] = median;
    state.counters["worst_deviation_ms"] = worst;
    state.counters["shortest_ms"] = intervalsMs.front();
}
BENCHMARK(BM_FrameCapPacing30)->Arg(1)->Arg(10)->Iterations(90)->Unit(benchmark::kMillisecond);

} // namespace
