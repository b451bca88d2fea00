#include "fluid/FluidSimulation.h"

#include "KernelParameters.h"
#include "math/Random.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace velmorra {
namespace {

struct Particles {
    Vector3* positions = nullptr;
    Vector3* velocities = nullptr;
    int count = 0;
};

Particles particlesOf(FluidSimulation& fluid) {
    Particles particles;
    fluid.getParticles(particles.positions, particles.velocities, particles.count);
    return particles;
}

void expectNear(const Vector3& actual, const Vector3& expected, float tolerance = 1e-6f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

// Two particles on the x axis, the first at the origin, without gravity.
FluidSimulation pairApart(float distance) {
    Random random;
    FluidSimulation fluid;
    fluid.init(2, 2, 1.0f, 1.0f, 1.0f, random);
    fluid.setGravity(0, 0, 0);
    const Particles particles = particlesOf(fluid);
    particles.positions[0].set(0, 0, 0);
    particles.positions[1].set(distance, 0, 0);
    fluid.simulate(0.0f);
    return fluid;
}

TEST(FluidSimulation, NothingHappensBeforeInit) {
    Random random;
    FluidSimulation fluid;
    fluid.simulate(0.1f);
    EXPECT_FALSE(fluid.isInitialized());
    const Particles particles = particlesOf(fluid);
    EXPECT_EQ(particles.positions, nullptr);
    EXPECT_EQ(particles.velocities, nullptr);
    EXPECT_EQ(particles.count, 0);

    fluid.init(0, 10, 1.0f, 1.0f, 1.0f, random);
    EXPECT_FALSE(fluid.isInitialized());
    fluid.release();
    fluid.release();
    EXPECT_FALSE(fluid.isInitialized());
}

TEST(FluidSimulation, InitPlacesParticlesFromThreeDrawsEach) {
    Random random(1);
    FluidSimulation fluid;
    fluid.init(3, 6, 2.0f, 3.0f, 6.0f, random);
    ASSERT_TRUE(fluid.isInitialized());
    EXPECT_EQ(fluid.getParticleCount(), 3);
    EXPECT_EQ(fluid.getGridSize(), 6);
    EXPECT_EQ(fluid.getRadius(), 7.0f);
    EXPECT_EQ(fluid.getGrid().getCells().size(), 125u);
    // Seed 1 draws 346, 130 and 10982: the first gives z, the second y, the third x.
    const Particles particles = particlesOf(fluid);
    ASSERT_EQ(particles.count, 3);
    expectNear(particles.positions[0],
               {0.5f - 10982 / 32767.0f, 0.5f - 130 / 32767.0f, 0.5f - 346 / 32767.0f});
    for (int p = 0; p < 3; ++p) {
        EXPECT_EQ(particles.velocities[p], Vector3());
        for (float c :
             {particles.positions[p].x, particles.positions[p].y, particles.positions[p].z}) {
            EXPECT_GE(c, -0.5f);
            EXPECT_LE(c, 0.5f);
        }
    }
}

TEST(FluidSimulation, InitBelowOneKeepsTheCurrentParticles) {
    Random random;
    FluidSimulation fluid;
    fluid.init(4, 5, 1.0f, 1.0f, 1.0f, random);
    Particles before = particlesOf(fluid);
    before.positions[2].set(0.25f, 0.5f, 0.75f);
    fluid.init(0, 9, 2.0f, 2.0f, 2.0f, random);
    fluid.init(-5, 9, 2.0f, 2.0f, 2.0f, random);
    const Particles after = particlesOf(fluid);
    EXPECT_TRUE(fluid.isInitialized());
    EXPECT_EQ(after.positions, before.positions);
    EXPECT_EQ(after.count, 4);
    EXPECT_EQ(after.positions[2], Vector3(0.25f, 0.5f, 0.75f));
    EXPECT_EQ(fluid.getGridSize(), 5);
}

TEST(FluidSimulation, ReinitGivesFreshArraysAndKeepsTheSettings) {
    Random random;
    FluidSimulation fluid;
    fluid.init(3, 4, 1.0f, 1.0f, 1.0f, random);
    fluid.setMass(0.5f);
    fluid.setGravity(0, 0, -10);
    fluid.setDamping(0.5f);
    fluid.setIsoLevel(12.0);
    fluid.setBounds(-2, 2, -2, 2, -2, 2);
    particlesOf(fluid).velocities[0].set(9, 9, 9);

    fluid.init(1, 7, 1.0f, 1.0f, 1.0f, random);
    Particles particles = particlesOf(fluid);
    ASSERT_EQ(particles.count, 1);
    EXPECT_EQ(fluid.getGridSize(), 7);
    EXPECT_EQ(particles.velocities[0], Vector3());
    EXPECT_EQ(fluid.getIsoLevel(), 12.0);

    // The mass, gravity and damping survived: from rest at the origin with velocity (4, 0, 0),
    // damping 0.5 leaves (2, 0, 0) and gravity adds dt / m * m * g = (0, 0, -1).
    particles.positions[0].set(0, 0, 0);
    particles.velocities[0].set(4, 0, 0);
    fluid.simulate(0.1f);
    expectNear(particles.velocities[0], {2, 0, -1}, 1e-6f);
    expectNear(particles.positions[0], {0.2f, 0, -0.1f}, 1e-6f);

    // The bounds survived too: from x = 1.9 a step of 0.2 crosses x = 2 and comes back.
    particles.positions[0].set(1.9f, 0, 0);
    particles.velocities[0].set(4, 0, 0);
    fluid.simulate(0.1f);
    EXPECT_NEAR(particles.positions[0].x, 1.9f, 1e-6f);
    EXPECT_NEAR(particles.velocities[0].x, -2.0f * 0.8f * 0.5f, 1e-6f);
}

TEST(FluidSimulation, PairForceVanishesAtTheRestDistance) {
    const FluidSimulation fluid = pairApart(5.0f);
    EXPECT_EQ(fluid.getForces()[0], Vector3());
    EXPECT_EQ(fluid.getForces()[1], Vector3());
}

TEST(FluidSimulation, PairForcePushesCloseParticlesApartAndPullsFarOnesTogether) {
    // Closer than 5: s = (1/3 - 1/5) / 9 * 0.4 = 0.8 / 135, times d = -3 on the first.
    const FluidSimulation close = pairApart(3.0f);
    expectNear(close.getForces()[0], {-0.8f / 45, 0, 0}, 1e-7f);
    expectNear(close.getForces()[1], {0.8f / 45, 0, 0}, 1e-7f);
    // Beyond 5: s = (1/8 - 1/5) / 64 * 0.4 = -0.00046875, times d = -8 on the first.
    const FluidSimulation far = pairApart(8.0f);
    expectNear(far.getForces()[0], {0.00375f, 0, 0}, 1e-8f);
    expectNear(far.getForces()[1], {-0.00375f, 0, 0}, 1e-8f);
}

TEST(FluidSimulation, PairForceStopsGrowingBelowTheFloorAndVanishesWhenCoincident) {
    // r = 0.01 counts as 0.05: s = (20 - 0.2) * 400 * 0.4 = 3168, times d = -0.01.
    const FluidSimulation near = pairApart(0.01f);
    expectNear(near.getForces()[0], {-31.68f, 0, 0}, 1e-3f);
    const FluidSimulation same = pairApart(0.0f);
    EXPECT_EQ(same.getForces()[0], Vector3());
    EXPECT_EQ(same.getForces()[1], Vector3());
}

TEST(FluidSimulation, OneStepUnderGravity) {
    Random random;
    FluidSimulation fluid;
    fluid.init(1, 4, 1.0f, 1.0f, 1.0f, random);
    const Particles particles = particlesOf(fluid);
    const Vector3 start = particles.positions[0];
    fluid.simulate(0.01f);
    expectNear(fluid.getForces()[0], {0, -40, 0}, 1e-5f);
    expectNear(particles.velocities[0], {0, -2, 0}, 1e-5f);
    expectNear(difference(particles.positions[0], start), {0, -0.02f, 0}, 1e-6f);
}

// Starts a lone particle at the origin so that one step of dt = 1 ends it at `target` on the
// chosen axis; returns the position and velocity after the step.
std::pair<float, float> stepTowards(int axis, float target) {
    Random random;
    FluidSimulation fluid;
    fluid.init(1, 2, 1.0f, 1.0f, 1.0f, random);
    fluid.setGravity(0, 0, 0);
    fluid.setBounds(-1, 1, -1, 1, -1, 1);
    const Particles particles = particlesOf(fluid);
    particles.positions[0].set(0, 0, 0);
    float* velocity = &particles.velocities[0].x;
    velocity[axis] = target / 0.95f;
    fluid.simulate(1.0f);
    return {(&particles.positions[0].x)[axis], velocity[axis]};
}

TEST(FluidSimulation, ParticlesBounceOffEveryFaceOfTheBox) {
    const float kept = static_cast<float>(0.8 * 0.95f);
    for (int axis = 0; axis < 3; ++axis) {
        const auto [low, lowVelocity] = stepTowards(axis, -1.1f);
        EXPECT_NEAR(low, -0.9f, 1e-6f) << "axis " << axis;
        EXPECT_NEAR(lowVelocity, 1.1f * kept, 1e-6f) << "axis " << axis;
        const auto [high, highVelocity] = stepTowards(axis, 1.1f);
        EXPECT_NEAR(high, 0.9f, 1e-6f) << "axis " << axis;
        EXPECT_NEAR(highVelocity, -1.1f * kept, 1e-6f) << "axis " << axis;
    }
}

TEST(FluidSimulation, ZeroStepOnlyDampsButStillResamplesTheField) {
    Random random;
    FluidSimulation fluid;
    fluid.init(3, 8, 1.0f, 1.0f, 1.0f, random);
    fluid.setGravity(0, 0, 0);
    const Particles particles = particlesOf(fluid);
    particles.velocities[1].set(1, -2, 3);
    particles.positions[2].set(0.3f, 0.3f, 0.3f);
    const std::vector<Vector3> before(particles.positions, particles.positions + 3);
    fluid.simulate(0.0f);
    for (int p = 0; p < 3; ++p) {
        EXPECT_EQ(particles.positions[p], before[p]);
    }
    EXPECT_EQ(particles.velocities[1], Vector3(0.95f * 1, 0.95f * -2, 0.95f * 3));

    DensityGrid expected;
    expected.layOut(8, 1.0f, 1.0f, 1.0f);
    expected.computeField(before, FieldKernel::plain);
    expected.computeNormals();
    const auto actualPoints = fluid.getGrid().getPoints();
    const auto expectedPoints = expected.getPoints();
    for (std::size_t s = 0; s < expectedPoints.size(); ++s) {
        ASSERT_EQ(actualPoints[s].value, expectedPoints[s].value) << "sample " << s;
        ASSERT_EQ(actualPoints[s].normal, expectedPoints[s].normal) << "sample " << s;
    }
}

struct Corner {
    Vector3 normal;
    Vector3 vertex;
    bool operator==(const Corner&) const = default;
};

struct RecordingSink {
    std::vector<Corner> corners;
    std::thread::id caller = std::this_thread::get_id();
    bool fromCallerOnly = true;
    void operator()(const Vector3& normal, const Vector3& vertex) {
        fromCallerOnly = fromCallerOnly && std::this_thread::get_id() == caller;
        corners.push_back({normal, vertex});
    }
};

TEST(FluidSimulation, PolygonizeEmitsWhatEveryCellInTurnWouldOnOneCoreOrSeveral) {
    Random random;
    WorkerPool threeThreads(3);
    for (WorkerPool* workers : {static_cast<WorkerPool*>(nullptr), &threeThreads}) {
        random.seed(5);
        FluidSimulation fluid;
        fluid.setFieldWorkers(workers);
        fluid.init(20, 20, 1.0f, 1.0f, 1.0f, random);
        fluid.setIsoLevel(30.0);
        fluid.setRestDistance(0.35f);
        fluid.setMass(0.01f);
        fluid.setGravity(0, -11.5f, 0);
        fluid.setBounds(-0.8f, 0.8f, -0.8f, 0.8f, -0.8f, 0.8f);
        for (int frame = 0; frame < 20; ++frame) {
            fluid.simulate(0.02f);
        }
        RecordingSink whole;
        const int triangles = fluid.polygonize(whole);
        RecordingSink cellByCell;
        int counted = 0;
        for (const GridCell& cell : fluid.getGrid().getCells()) {
            counted += fluid.polygonizeCell(cell, cellByCell);
        }
        EXPECT_GT(triangles, 100);
        EXPECT_EQ(triangles, counted);
        EXPECT_TRUE(whole.corners == cellByCell.corners);
        EXPECT_TRUE(whole.fromCallerOnly);
        // Again, over a changed surface, with the parts cut in the first pass marked done.
        fluid.simulate(0.02f);
        RecordingSink again;
        fluid.polygonize(again);
        RecordingSink againCellByCell;
        for (const GridCell& cell : fluid.getGrid().getCells()) {
            fluid.polygonizeCell(cell, againCellByCell);
        }
        EXPECT_TRUE(again.corners == againCellByCell.corners);
    }
}

// The pour of the last demo set-up, stepped for two seconds of frames with either field pass.
std::vector<std::uint64_t> pourBits(FieldKernel kernel, WorkerPool* workers) {
    Random random(77);
    FluidSimulation fluid;
    fluid.setFieldKernel(kernel);
    fluid.setFieldWorkers(workers);
    fluid.init(80, 25, 1.7f, 3.0f, 1.7f, random);
    fluid.setIsoLevel(34.0);
    fluid.setGravity(0, -100, 0);
    fluid.setMass(0.02f);
    fluid.setRestDistance(6.0f);
    fluid.setDamping(0.96f);
    fluid.setBounds(-1.1f, 1.1f, -2.2f, 1000, -1.1f, 1.1f);
    for (int frame = 0; frame < 60; ++frame) {
        fluid.simulate(0.033333335f * 0.25f);
    }
    std::vector<std::uint64_t> bits;
    for (const GridPoint& point : fluid.getGrid().getPoints()) {
        bits.push_back(std::bit_cast<std::uint64_t>(point.value));
        for (const float component : {point.normal.x, point.normal.y, point.normal.z}) {
            bits.push_back(std::bit_cast<std::uint32_t>(component));
        }
    }
    for (const Vector3& position : fluid.getPositions()) {
        for (const float component : {position.x, position.y, position.z}) {
            bits.push_back(std::bit_cast<std::uint32_t>(component));
        }
    }
    return bits;
}

class StepKernelTest : public testing::TestWithParam<FieldKernel> {};

INSTANTIATE_TEST_SUITE_P(Kernels, StepKernelTest, testing::ValuesIn(vectorKernels), kernelTestName);

TEST_P(StepKernelTest, StepsThePlainKernelsLiquidOnOneCoreOrSeveral) {
    if (const std::string why = whyNotCompared(GetParam(), KernelJob::fieldSums); !why.empty()) {
        GTEST_SKIP() << why;
    }
    WorkerPool threeThreads(3);
    const std::vector<std::uint64_t> plain = pourBits(FieldKernel::plain, nullptr);
    EXPECT_EQ(pourBits(GetParam(), nullptr), plain);
    EXPECT_EQ(pourBits(GetParam(), &threeThreads), plain);
}

} // namespace
} // namespace velmorra
