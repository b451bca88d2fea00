// Cost of one frame of the liquid: a simulation step (forces, integration, density field,
// normals) plus polygonising the whole grid, for the demo's three set-ups. The plain field pass,
// one sample and one particle at a time on one core, is measured alongside as the scalar
// baseline. The argument of the fast runs and of the field pass alone is the number of cores
// that share the field pass.

#include "fluid/FluidSimulation.h"
#include "math/Random.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace velmorra {
namespace {

constexpr float framePeriod = 0.033333335f;

struct Placement {
    int first;
    int end;
    Vector3 centre;
    Vector3 spread;
};

// Like the demo: each particle takes draws r1, r2, r3, which give z, y and x in that order.
void place(FluidSimulation& fluid, const Placement& placement, Random& random) {
    Vector3* positions = nullptr;
    Vector3* velocities = nullptr;
    int count = 0;
    fluid.getParticles(positions, velocities, count);
    for (int p = placement.first; p < placement.end && p < count; ++p) {
        const float r1 = static_cast<float>(random.next()) / Random::maxValue;
        const float r2 = static_cast<float>(random.next()) / Random::maxValue;
        const float r3 = static_cast<float>(random.next()) / Random::maxValue;
        positions[p].set(placement.centre.x + placement.spread.x * (0.5f - r3),
                         placement.centre.y + placement.spread.y * (0.5f - r2),
                         placement.centre.z + placement.spread.z * (0.5f - r1));
        velocities[p].set(0, 0, 0);
    }
}

void setPosition(FluidSimulation& fluid, int p, const Vector3& position) {
    Vector3* positions = nullptr;
    Vector3* velocities = nullptr;
    int count = 0;
    fluid.getParticles(positions, velocities, count);
    positions[p] = position;
}

// The seven-particle blob as it hangs at the start.
float setUpBlob(FluidSimulation& fluid, Random& random) {
    fluid.init(7, 22, 1.5f, 1.5f, 1.5f, random);
    fluid.setIsoLevel(12.0);
    fluid.setGravity(0, 0, 0);
    fluid.setMass(0.01f);
    fluid.setRestDistance(0.4f);
    fluid.setDamping(0.98f);
    fluid.setBounds(-100, 100, -100, 100, -100, 100);
    const Vector3 pinned[7] = {{1.05f, 0.02f, 0.03f},
                               {-1.06f, 0.01f, 0.03f},
                               {0.04f, 1.05f, 0.04f},
                               {0.02f, -1.03f, 0.03f},
                               {0.05f, 0.02f, 1.08f},
                               {0.01f, 0.03f, -1.01f},
                               {0, 0, 0}};
    for (int p = 0; p < 7; ++p) {
        setPosition(fluid, p, pinned[p]);
    }
    return framePeriod * 0.5f;
}

// The stream falling over the scene model.
float setUpStream(FluidSimulation& fluid, Random& random) {
    fluid.init(20, 20, 1.5f, 2.0f, 1.5f, random);
    fluid.setIsoLevel(36.0);
    fluid.setGravity(0, -11.5f, 0);
    fluid.setMass(0.01f);
    fluid.setRestDistance(0.35f);
    fluid.setDamping(0.94f);
    fluid.setBounds(-1.5f, 1.5f, -1.1f, 100, -1.5f, 1.5f);
    place(fluid, {0, 13, {0, 5, 0}, {1.4f, 1.4f, 1.4f}}, random);
    place(fluid, {13, 20, {0, 15, 0}, {1.4f, 1.4f, 1.4f}}, random);
    setPosition(fluid, 0, {0.25f, 1.5f, 0.25f});
    setPosition(fluid, 1, {0, 1.5f, 0.45f});
    setPosition(fluid, 2, {-0.25f, 1.5f, 0.25f});
    return framePeriod * 0.5882352941176471f;
}

// The pour into the cup: a block in the cup and a thin column falling into it.
float setUpPour(FluidSimulation& fluid, Random& random) {
    fluid.init(80, 25, 1.7f, 3.0f, 1.7f, random);
    fluid.setIsoLevel(34.0);
    fluid.setGravity(0, -100, 0);
    fluid.setMass(0.02f);
    fluid.setRestDistance(6.0f);
    fluid.setDamping(0.96f);
    fluid.setBounds(-1.1f, 1.1f, -2.2f, 1000, -1.1f, 1.1f);
    place(fluid, {0, 32, {0, 0, 0}, {1.4f, 1.4f, 1.4f}}, random);
    place(fluid, {32, 48, {0, 35, 0}, {0.2f, 50, 0.2f}}, random);
    place(fluid, {48, 80, {0, 95, 0}, {0.2f, 70, 0.2f}}, random);
    return framePeriod * 0.25f;
}

using SetUpFunction = float (*)(FluidSimulation&, Random&);

// A set-up and how many frames to run it first, so that the liquid is in the grid and moving.
struct SetUp {
    SetUpFunction build;
    int warmUpFrames;
};

const SetUp blob{setUpBlob, 30};
const SetUp stream{setUpStream, 90};
const SetUp pour{setUpPour, 120};

// Sums what the polygoniser hands out, standing in for glNormal3f and glVertex3f.
struct SummingSink {
    Vector3 total;
    void operator()(const Vector3& normal, const Vector3& vertex) {
        total.add(normal);
        total.add(vertex);
    }
};

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

// A set-up after its warm-up, with its particle state kept so that every iteration steps from
// the same point.
class LiquidFrame {
  public:
    LiquidFrame(SetUp setUp, FieldKernel kernel, int threads) {
        fluid.setFieldKernel(kernel);
        fluid.setFieldWorkers(workersFor(threads));
        step = setUp.build(fluid, random);
        for (int frame = 0; frame < setUp.warmUpFrames; ++frame) {
            fluid.simulate(step);
        }
        const auto positions = fluid.getPositions();
        const auto velocities = fluid.getVelocities();
        startPositions.assign(positions.begin(), positions.end());
        startVelocities.assign(velocities.begin(), velocities.end());
    }

    void rewind() {
        Vector3* positions = nullptr;
        Vector3* velocities = nullptr;
        int count = 0;
        fluid.getParticles(positions, velocities, count);
        std::copy(startPositions.begin(), startPositions.end(), positions);
        std::copy(startVelocities.begin(), startVelocities.end(), velocities);
    }

    Random random{2024};
    FluidSimulation fluid;
    float step = 0.0f;

  private:
    std::vector<Vector3> startPositions;
    std::vector<Vector3> startVelocities;
};

std::string label(FieldKernel kernel, int threads) {
    return std::string(fieldKernelName(kernel)) + ", " + std::to_string(threads) +
           (threads == 1 ? " core" : " cores");
}

void simulateAndPolygonize(benchmark::State& state, SetUp setUp, FieldKernel kernel) {
    const int threads = static_cast<int>(state.range(0));
    LiquidFrame frame(setUp, kernel, threads);
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
    LiquidFrame frame(setUp, fastestFieldKernel(), 1);
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
    LiquidFrame frame(pour, kernel, 1);
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
