// Shows, under node, that the browser build's vector kernels give the plain kernel's bits: the
// field sums and the grid pass over many seeded particle sets (with coincident, subnormally
// close and overflowing distances and NaNs among them), and the whole liquid stepped and
// polygonised. Exits with 1 and says what differed on the first
// difference.

#include "../../bench/FluidSetUps.h"
#include "fluid/DensityGrid.h"
#include "fluid/KernelDispatch.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <span>
#include <vector>

namespace velmorra {
namespace {

constexpr FieldKernel checked[] = {FieldKernel::sse2, FieldKernel::wasmSimd};

template <typename T> bool sameBits(std::span<const T> a, std::span<const T> b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size_bytes()) == 0;
}

bool report(bool same, FieldKernel kernel, const char* what, unsigned seed) {
    if (!same) {
        std::printf("FAIL: the %s kernel's %s differ from the plain kernel's (case %u)\n",
                    fieldKernelName(kernel), what, seed);
    }
    return same;
}

// Particles around the grid, some of them placed on a sample, a hair from one, far out of
// reach of float squares, or not a number, by the seed.
std::vector<Vector3> particlesFor(unsigned seed, const std::vector<float>& samples) {
    std::mt19937 engine(seed);
    std::uniform_real_distribution<float> place(-2.0f, 2.0f);
    std::vector<Vector3> particles(1 + engine() % 90);
    for (Vector3& particle : particles) {
        particle.set(place(engine), place(engine), place(engine));
    }
    const float awkward[] = {samples[engine() % samples.size()],
                             samples[engine() % samples.size()] + 1e-30f, 3e19f,
                             std::numeric_limits<float>::quiet_NaN()};
    if (seed % 3 == 0) {
        particles[engine() % particles.size()].x = awkward[seed / 3 % 4];
        particles[engine() % particles.size()].y = awkward[(seed / 3 + 1) % 4];
    }
    return particles;
}

bool checkFieldSums(unsigned seed) {
    std::mt19937 engine(seed);
    std::uniform_real_distribution<float> place(-2.0f, 2.0f);
    const std::size_t count = fieldBlockSize * (1 + engine() % 8);
    std::vector<float> x(count);
    std::vector<float> y(count);
    std::vector<float> z(count);
    for (std::size_t s = 0; s < count; ++s) {
        x[s] = place(engine);
        y[s] = place(engine);
        z[s] = place(engine);
    }
    const std::vector<Vector3> particles = particlesFor(seed, x);
    std::vector<double> plain(count);
    accumulateDensities(FieldKernel::plain, {x, y, z}, particles, plain);
    for (const FieldKernel kernel : checked) {
        std::vector<double> got(count);
        accumulateDensities(kernel, {x, y, z}, particles, got);
        if (!report(sameBits<double>(got, plain), kernel, "field sums", seed)) {
            return false;
        }
    }
    return true;
}

std::vector<double> fieldOf(DensityGrid& grid, std::span<const Vector3> particles,
                            FieldKernel kernel) {
    grid.computeFieldAndNormals(particles, kernel, 12.0);
    std::vector<double> values;
    for (const GridPoint& point : grid.getPoints()) {
        values.push_back(point.value);
    }
    return values;
}

bool checkGridPass(unsigned seed) {
    DensityGrid grid;
    const int size = 1 + static_cast<int>(seed % 29);
    grid.layOut(size, 1.5f, 1.0f + seed % 5 * 0.5f, 1.7f);
    std::vector<float> axis;
    for (int i = 0; i < size; ++i) {
        axis.push_back(grid.point(i, 0, 0).position.x);
    }
    const std::vector<Vector3> particles = particlesFor(seed, axis);
    const std::vector<double> plain = fieldOf(grid, particles, FieldKernel::plain);
    for (const FieldKernel kernel : checked) {
        if (!report(sameBits<double>(fieldOf(grid, particles, kernel), plain), kernel,
                    "grid densities", seed)) {
            return false;
        }
    }
    return true;
}

// Every point's value and normal, the particles, and what the polygoniser hands out.
std::vector<float> frameOf(bench::LiquidFrame& frame) {
    frame.fluid.simulate(frame.step);
    std::vector<float> out;
    frame.fluid.polygonize([&out](const Vector3& normal, const Vector3& vertex) {
        out.insert(out.end(), {normal.x, normal.y, normal.z, vertex.x, vertex.y, vertex.z});
    });
    for (const GridPoint& point : frame.fluid.getGrid().getPoints()) {
        float value[2];
        std::memcpy(value, &point.value, sizeof value);
        out.insert(out.end(), {value[0], value[1], point.normal.x, point.normal.y, point.normal.z});
    }
    for (const Vector3& position : frame.fluid.getPositions()) {
        out.insert(out.end(), {position.x, position.y, position.z});
    }
    return out;
}

bool checkLiquid(const bench::SetUp& setUp, unsigned setUpNumber) {
    bench::LiquidFrame plain(setUp, FieldKernel::plain, nullptr);
    for (const FieldKernel kernel : checked) {
        bench::LiquidFrame frame(setUp, kernel, nullptr);
        plain.rewind();
        for (int f = 0; f < 20; ++f) {
            const std::vector<float> expected = frameOf(plain);
            if (!report(sameBits<float>(frameOf(frame), expected), kernel, "liquid frames",
                        setUpNumber)) {
                return false;
            }
        }
    }
    return true;
}

bool checkAll() {
    if (fastestFieldKernel() != FieldKernel::wasmSimd ||
        kernelRunning(FieldKernel::wasmSimd, KernelJob::gridPass) != FieldKernel::wasmSimd) {
        std::puts("FAIL: this build does not run the wasmSimd kernel's grid pass");
        return false;
    }
    for (unsigned seed = 1; seed <= 600; ++seed) {
        if (!checkFieldSums(seed) || !checkGridPass(seed)) {
            return false;
        }
    }
    const bench::SetUp* setUps[] = {&bench::blob, &bench::stream, &bench::pour};
    for (unsigned s = 0; s < 3; ++s) {
        if (!checkLiquid(*setUps[s], s)) {
            return false;
        }
    }
    return true;
}

} // namespace
} // namespace velmorra

int main() {
    if (!velmorra::checkAll()) {
        return 1;
    }
    std::puts("the sse2 and wasmSimd kernels give the plain kernel's bits");
    return 0;
}
