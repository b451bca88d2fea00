// Pacing of the frame cap: the intervals between frame starts at 30 frames per
// second, with a few milliseconds of work and a few log lines in each frame, and
// the cost of one log call, which reaches the file before it returns.
#include "platform/Log.h"
#include "platform/Timer.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

// The log is written to the current directory: a fresh one under the temporary
// directory, open for the benchmark's lifetime.
class OpenLogInTemporaryDirectory {
  public:
    OpenLogInTemporaryDirectory() : previous(std::filesystem::current_path()) {
        std::string pattern = std::filesystem::temp_directory_path() / "velmorra-log-XXXXXX";
        if (mkdtemp(pattern.data()) != nullptr) {
            directory = pattern;
            std::filesystem::current_path(directory);
        }
        velmorra::openLog();
    }
    ~OpenLogInTemporaryDirectory() {
        velmorra::closeLog();
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(directory);
    }

  private:
    std::filesystem::path previous;
    std::filesystem::path directory;
};

// Arguments: milliseconds of work per frame, log lines written per frame.
void BM_FrameCapPacing30(benchmark::State& state) {
    OpenLogInTemporaryDirectory log;
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
        for (int line = 0; line < state.range(1); ++line) {
            velmorra::write("Loading texture file: %s\n", "./data/chrome.bmp");
        }
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
BENCHMARK(BM_FrameCapPacing30)
    ->ArgsProduct({{1, 10}, {0, 3}})
    ->Iterations(90)
    ->Unit(benchmark::kMillisecond);

void BM_LogWriteLine(benchmark::State& state) {
    OpenLogInTemporaryDirectory log;
    for (auto _ : state) {
        velmorra::write("Loading texture file: %s\n", "./data/chrome.bmp");
    }
}
BENCHMARK(BM_LogWriteLine)->Unit(benchmark::kMicrosecond);

} // namespace
