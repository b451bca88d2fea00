// Cost of one frame of the liquid: a simulation step (forces, integration, density field,
// normals) plus polygonising the whole grid, for the demo's three set-ups. The plain field pass,
// one sample and one particle at a time on one core, is measured alongside as the scalar
// baseline. The argument of the fast runs and of the field pass alone is the number of cores
// that share the field pass.

#include "FluidSetUps.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace velmorra {
namespace {

using namespace bench;

// One pool per core count measured, kept for the whole run like the demo's; one core means no
// pool at all, the single-core path.
WorkerPool* workersFor(int threads) {
    static std::vector<std::unique_ptr<WorkerPool>> pools;
    if (threads <= 1) {
        return nullptr;
    }
    for (const auto& pool : pools) {
        if (pool->getThreadCount() == threads) {
            return pool.get();
        }
    }
    pools.push_back(std::make_unique<WorkerPool>(threads));
    return pools.back().get();
}

std::string label(FieldKernel kernel, int threads) {
    return std::string(fieldKernelName(kernel)) + ", " + std::to_string(threads) +
           (threads == 1 ? " core" : " cores");
}

void simulateAndPolygonize(benchmark::State& state, SetUp setUp, FieldKernel kernel) {
    const int threads = static_cast<int>(state.range(0));
    LiquidFrame frame(setUp, kernel, workersFor(threads));
    int triangles = 0;
    for (auto _ : state) {
        frame.rewind();
        frame.fluid.simulate(frame.step);
        SummingSink sink;
        triangles = frame.fluid.polygonize(sink);
        benchmark::DoNotOptimize(sink.total);
    }
    state.counters["triangles"] = triangles;
    state.SetLabel(label(kernel, threads));
}

void polygonizeOnly(benchmark::State& state, SetUp setUp) {
    LiquidFrame frame(setUp, fastestFieldKernel(), nullptr);
    frame.fluid.simulate(frame.step);
    int triangles = 0;
    for (auto _ : state) {
        SummingSink sink;
        triangles = frame.fluid.polygonize(sink);
        benchmark::DoNotOptimize(sink.total);
    }
    state.counters["triangles"] = triangles;
}

void fieldPassOnly(benchmark::State& state, FieldKernel kernel) {
    if (!isFieldKernelSupported(kernel)) {
        state.SkipWithError("kernel not supported on this processor");
        return;
    }
    const int threads = static_cast<int>(state.range(0));
    LiquidFrame frame(pour, kernel, nullptr);
    DensityGrid grid;
    grid.layOut(25, 1.7f, 3.0f, 1.7f);
    const auto particles = frame.fluid.getPositions();
    WorkerPool* workers = workersFor(threads);
    for (auto _ : state) {
        grid.computeField(particles, kernel, workers);
        benchmark::ClobberMemory();
    }
    state.SetLabel(label(kernel, threads));
}

const FieldKernel fast = fastestFieldKernel();

// Other programs share the machine: nine repetitions, reported by their median and their fastest.
void repeat(benchmark::internal::Benchmark* benchmark) {
    benchmark->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
    benchmark->ComputeStatistics("min", [](const std::vector<double>& times) {
        return *std::min_element(times.begin(), times.end());
    });
}

void configure(benchmark::internal::Benchmark* benchmark) {
    repeat(benchmark);
    benchmark->Arg(1);
}

// One core, then every power of two below the machine's core count, then all of them.
void onEachCoreCount(benchmark::internal::Benchmark* benchmark) {
    repeat(benchmark);
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    for (int threads = 1; threads < cores; threads *= 2) {
        benchmark->Arg(threads);
    }
    benchmark->Arg(cores);
}

} // namespace

BENCHMARK_CAPTURE(simulateAndPolygonize, D_pour_80_on_25_fast, pour, fast)->Apply(onEachCoreCount);
BENCHMARK_CAPTURE(simulateAndPolygonize, D_pour_80_on_25_scalar_baseline, pour, FieldKernel::plain)
    ->Apply(configure);
BENCHMARK_CAPTURE(simulateAndPolygonize, B_stream_20_on_20_fast, stream, fast)
    ->Apply(onEachCoreCount);
BENCHMARK_CAPTURE(simulateAndPolygonize, B_stream_20_on_20_scalar_baseline, stream,
                  FieldKernel::plain)
    ->Apply(configure);
BENCHMARK_CAPTURE(simulateAndPolygonize, A_blob_7_on_22_fast, blob, fast)->Apply(onEachCoreCount);
BENCHMARK_CAPTURE(simulateAndPolygonize, A_blob_7_on_22_scalar_baseline, blob, FieldKernel::plain)
    ->Apply(configure);

BENCHMARK_CAPTURE(polygonizeOnly, D_pour_80_on_25, pour)->Apply(configure);
BENCHMARK_CAPTURE(polygonizeOnly, B_stream_20_on_20, stream)->Apply(configure);
BENCHMARK_CAPTURE(polygonizeOnly, A_blob_7_on_22, blob)->Apply(configure);

BENCHMARK_CAPTURE(fieldPassOnly, D_plain, FieldKernel::plain)->Apply(configure);
BENCHMARK_CAPTURE(fieldPassOnly, D_sse2, FieldKernel::sse2)->Apply(onEachCoreCount);
BENCHMARK_CAPTURE(fieldPassOnly, D_avx2, FieldKernel::avx2)->Apply(onEachCoreCount);
BENCHMARK_CAPTURE(fieldPassOnly, D_avx512, FieldKernel::avx512)->Apply(onEachCoreCount);

} // namespace velmorra
