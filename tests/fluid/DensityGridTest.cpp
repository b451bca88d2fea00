#include "fluid/DensityGrid.h"
#include "KernelParameters.h"
#include "fluid/MarchingCubes.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace velmorra {
namespace {

TEST(DensityGrid, SamplesStopOneSpacingShortOfThePositiveXYAndNegativeZFaces) {
    DensityGrid grid;
    grid.layOut(4, 1.0f, 2.0f, 3.0f);
    ASSERT_EQ(grid.getSize(), 4);
    ASSERT_EQ(grid.getPoints().size(), 64u);
    EXPECT_EQ(grid.point(0, 0, 0).position, Vector3(-1, -2, 3));
    EXPECT_EQ(grid.point(3, 3, 3).position, Vector3(0.5f, 1, -1.5f));
    EXPECT_EQ(grid.point(1, 2, 1).position, Vector3(-0.5f, 0, 1.5f));
    // i runs fastest, then j, then k.
    EXPECT_EQ(&grid.point(1, 2, 3), &grid.getPoints()[1 + 4 * (2 + 4 * 3)]);
    EXPECT_EQ(grid.point(2, 0, 0).normal, Vector3());
}

TEST(DensityGrid, PositionsAreRoundedOnceFromTheExactFraction) {
    DensityGrid grid;
    grid.layOut(25, 1.7f, 3.0f, 1.7f);
    // 1.7 * (2 * 3 / 25 - 1) = -1.292, rounded to float from the exact product.
    EXPECT_EQ(grid.point(3, 0, 0).position.x,
              static_cast<float>(static_cast<long double>(1.7f) * (6.0L / 25 - 1)));
    EXPECT_EQ(grid.point(0, 0, 7).position.z,
              static_cast<float>(static_cast<long double>(1.7f) * (1 - 14.0L / 25)));
}

TEST(DensityGrid, CellsPointAtTheirEightCorners) {
    DensityGrid grid;
    grid.layOut(5, 1.0f, 1.0f, 1.0f);
    ASSERT_EQ(grid.getCells().size(), 64u);
    const int n = 5;
    const int cellsPerAxis = 4;
    const int i = 2;
    const int j = 1;
    const int k = 3;
    const GridCell& cell = grid.getCells()[i + cellsPerAxis * (j + cellsPerAxis * k)];
    const int offsets[8][3] = {{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1},
                               {0, 1, 0}, {1, 1, 0}, {1, 1, 1}, {0, 1, 1}};
    for (int corner = 0; corner < 8; ++corner) {
        EXPECT_EQ(cell.corners[corner], &grid.point(i + offsets[corner][0], j + offsets[corner][1],
                                                    k + offsets[corner][2]))
            << "corner " << corner;
    }
    // Corner 3 lies one spacing towards -z from corner 0, corner 4 one spacing up.
    const float spacing = 2.0f / n;
    EXPECT_FLOAT_EQ(cell.corners[3]->position.z, cell.corners[0]->position.z - spacing);
    EXPECT_FLOAT_EQ(cell.corners[4]->position.y, cell.corners[0]->position.y + spacing);
}

TEST(DensityGrid, TinyAndEmptyGrids) {
    DensityGrid grid;
    grid.layOut(1, 1.0f, 1.0f, 1.0f);
    EXPECT_EQ(grid.getPoints().size(), 1u);
    EXPECT_TRUE(grid.getCells().empty());
    const Vector3 particles[1] = {{0.5f, 0.5f, 0.5f}};
    grid.computeField(particles, fastestFieldKernel());
    grid.computeNormals();
    // The one sample sits at (-1, -1, 1): squared distance 2.25 + 2.25 + 0.25.
    EXPECT_EQ(grid.getPoints()[0].value, 1.0 / 4.75);

    grid.layOut(0, 1.0f, 1.0f, 1.0f);
    EXPECT_TRUE(grid.getPoints().empty());
    grid.layOut(-3, 1.0f, 1.0f, 1.0f);
    EXPECT_TRUE(grid.getPoints().empty());
    grid.computeField(particles, FieldKernel::plain);
    grid.computeNormals();
}

TEST(DensityGrid, FieldSumsInverseSquaredDistances) {
    DensityGrid grid;
    grid.layOut(2, 1.0f, 1.0f, 1.0f);
    const Vector3 particles[2] = {{0.5f, 0, 0}, {0, 1, 0}};
    for (FieldKernel kernel : {FieldKernel::plain, fastestFieldKernel()}) {
        grid.computeField(particles, kernel);
        // Sample (1, 1, 1) at the origin: 1 / 0.25 + 1 / 1.
        EXPECT_EQ(grid.point(1, 1, 1).value, 5.0);
        // Sample (0, 0, 0) at (-1, -1, 1): squared distances 4.25 and 6.
        EXPECT_EQ(grid.point(0, 0, 0).value, 1.0 / 4.25 + 1.0 / 6.0);
    }
}

TEST(DensityGrid, NormalsAreCentralDifferencesTowardsLowerDensity) {
    DensityGrid grid;
    grid.layOut(3, 1.5f, 1.5f, 1.5f);
    // Samples lie at -1.5, -0.5, 0.5 along x and y and at 1.5, 0.5, -0.5 along z; the only
    // inner sample is (1, 1, 1) at (-0.5, -0.5, 0.5).
    const Vector3 particles[1] = {{0.5f, -0.5f, -1.5f}};
    grid.computeField(particles, FieldKernel::plain);
    grid.computeNormals();
    // x: 1/8 - 1/4; y: 1/6 - 1/6; z, reversed because z falls with k: 1/2 - 1/10.
    EXPECT_EQ(grid.point(1, 1, 1).normal, Vector3(-0.125f, 0.0f, static_cast<float>(0.5 - 0.1)));
    for (const GridPoint& point : grid.getPoints()) {
        if (&point != &grid.point(1, 1, 1)) {
            EXPECT_EQ(point.normal, Vector3());
        }
    }
}

std::vector<Vector3> randomParticles(std::mt19937& engine, int count, float reach) {
    std::uniform_real_distribution<float> place(-reach, reach);
    std::vector<Vector3> particles(count);
    for (Vector3& particle : particles) {
        particle.set(place(engine), place(engine), place(engine));
    }
    return particles;
}

std::vector<std::uint64_t> fieldBits(const DensityGrid& grid) {
    std::vector<std::uint64_t> bits;
    for (const GridPoint& point : grid.getPoints()) {
        bits.push_back(std::bit_cast<std::uint64_t>(point.value));
    }
    return bits;
}

// The settled points' positions too, which writing the normals and values must leave alone.
std::vector<std::array<Vector3, 2>> positionsAndNormalsOf(const DensityGrid& grid) {
    std::vector<std::array<Vector3, 2>> settled;
    for (const GridPoint& point : grid.getPoints()) {
        settled.push_back({point.position, point.normal});
    }
    return settled;
}

class FieldKernelTest : public testing::TestWithParam<FieldKernel> {
  protected:
    void SetUp() override {
        if (const std::string why = whyNotCompared(GetParam(), KernelJob::fieldSums);
            !why.empty()) {
            GTEST_SKIP() << why;
        }
    }
};

INSTANTIATE_TEST_SUITE_P(Kernels, FieldKernelTest, testing::ValuesIn(vectorKernels),
                         kernelTestName);

TEST_P(FieldKernelTest, MatchesThePlainFieldPassBitForBitOnOneCoreOrSeveral) {
    const FieldKernel kernel = GetParam();
    std::mt19937 engine(20240611);
    struct Shape {
        int size;
        Vector3 half;
    };
    const Shape shapes[] = {{22, {1.5f, 1.5f, 1.5f}},
                            {20, {1.5f, 2.0f, 1.5f}},
                            {25, {1.7f, 3.0f, 1.7f}},
                            {7, {0.3f, 5.0f, 1.0f}}};
    // More threads than this machine may have cores, so that parts overlap in time.
    WorkerPool threeThreads(3);
    for (WorkerPool* workers : {static_cast<WorkerPool*>(nullptr), &threeThreads}) {
        for (const Shape& shape : shapes) {
            DensityGrid plain;
            DensityGrid fast;
            plain.layOut(shape.size, shape.half.x, shape.half.y, shape.half.z);
            fast.layOut(shape.size, shape.half.x, shape.half.y, shape.half.z);
            for (int count : {1, 7, 20, 80, 131}) {
                const auto particles = randomParticles(engine, count, 3.5f);
                plain.computeField(particles, FieldKernel::plain);
                plain.computeNormals();
                fast.computeFieldAndNormals(particles, kernel, 12.0, workers);
                ASSERT_EQ(fieldBits(fast), fieldBits(plain))
                    << count << " particles on " << shape.size << " points, "
                    << (workers ? "3 threads" : "1 thread");
                ASSERT_EQ(positionsAndNormalsOf(fast), positionsAndNormalsOf(plain));
            }
        }
    }
}

// Zero, tiny and huge squared distances are outside what the fast reciprocals take: a particle
// on a sample gives an infinite density, one far away a term of about 1e-76.
TEST_P(FieldKernelTest, MatchesThePlainPassAtZeroAndExtremeDistances) {
    DensityGrid plain;
    DensityGrid fast;
    plain.layOut(6, 1.0f, 1.0f, 1.0f);
    fast.layOut(6, 1.0f, 1.0f, 1.0f);
    const Vector3 onSample = plain.point(2, 3, 1).position;
    const std::vector<std::vector<Vector3>> cases = {
        {onSample},
        {{0.1f, 0.2f, 0.3f}, onSample, {1e38f, 0, 0}},
        {{1e-20f, 0, 0}, {2e19f, 2e19f, 0}},
        {{onSample.x + 1e-20f, onSample.y, onSample.z}, {0.5f, 0.5f, 0.5f}},
        // A squared distance still finite but beyond 2^126, whose float reciprocal is subnormal.
        {{1.2e19f, 0, 0}}};
    for (std::size_t c = 0; c < cases.size(); ++c) {
        plain.computeField(cases[c], FieldKernel::plain);
        fast.computeField(cases[c], GetParam());
        EXPECT_EQ(fieldBits(fast), fieldBits(plain)) << "case " << c;
    }
    plain.computeField(cases[0], FieldKernel::plain);
    EXPECT_EQ(plain.point(2, 3, 1).value, std::numeric_limits<double>::infinity());
}

std::vector<const GridCell*> cellsWithMixedCorners(const DensityGrid& grid, double isoLevel) {
    std::vector<const GridCell*> mixed;
    for (const GridCell& cell : grid.getCells()) {
        const int cubeCase = MarchingCubes::caseIndex(cell, isoLevel);
        if (cubeCase != 0 && cubeCase != 255) {
            mixed.push_back(&cell);
        }
    }
    return mixed;
}

// The field pass with normals sorts the samples against one level ahead; other levels, and a
// later field, must not reuse that sorting.
TEST(DensityGrid, CutCellsAreThoseWithCornersOnBothSidesInArrayOrder) {
    std::mt19937 engine(7);
    for (int size : {2, 3, 17, 25, 64, 65}) {
        DensityGrid grid;
        grid.layOut(size, 1.5f, 2.0f, 1.5f);
        const auto expectFound = [&](double isoLevel) {
            const auto cut = grid.findCutCells(isoLevel);
            const std::vector<const GridCell*> found(cut.begin(), cut.end());
            EXPECT_EQ(found, cellsWithMixedCorners(grid, isoLevel))
                << size << " points, level " << isoLevel;
        };
        grid.computeFieldAndNormals(randomParticles(engine, 5, 2.0f), fastestFieldKernel(), 12.0);
        for (double isoLevel : {12.0, 0.5, 3.0, 40.0, 1e9, 12.0}) {
            expectFound(isoLevel);
        }
        grid.computeField(randomParticles(engine, 5, 2.0f), fastestFieldKernel());
        expectFound(12.0);
    }
    DensityGrid single;
    single.layOut(1, 1.0f, 1.0f, 1.0f);
    EXPECT_TRUE(single.findCutCells(1.0).empty());
}

class ReciprocalKernelTest : public testing::TestWithParam<FieldKernel> {};

INSTANTIATE_TEST_SUITE_P(Kernels, ReciprocalKernelTest, testing::ValuesIn(vectorKernels),
                         kernelTestName);

// Around the ends of the range a fast reciprocal takes, and beyond: the AVX2 kernel hands the
// four values under the smallest normal float, the three from 2^125 up and the NaN to the divider;
// the AVX-512 kernel only zero, infinity and the NaN.
TEST_P(ReciprocalKernelTest, GivesTheDividersBitsAndDividesOnlyWhatItCannotTake) {
    if (const std::string why = whyNotCompared(GetParam(), KernelJob::reciprocals); !why.empty()) {
        GTEST_SKIP() << why;
    }
    const float values[16] = {0.0f,
                              0x1p-149f,
                              0x1p-127f,
                              5e-39f,
                              0x1p-126f,
                              1e-30f,
                              0.1f,
                              1.0f,
                              3.0f,
                              7.0f,
                              1e30f,
                              0x1.fffffep124f,
                              0x1p125f,
                              std::numeric_limits<float>::max(),
                              std::numeric_limits<float>::infinity(),
                              std::numeric_limits<float>::quiet_NaN()};
    std::vector<double> got(16);
    const std::size_t divided = reciprocalsOfFloats(GetParam(), values, got);
    EXPECT_EQ(divided, GetParam() == FieldKernel::avx2 ? 8u : 3u);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(std::bit_cast<std::uint64_t>(got[i]),
                  std::bit_cast<std::uint64_t>(1.0 / static_cast<double>(values[i])))
            << values[i];
    }
}

TEST(FieldKernel, FastestIsAVectorKernelThisProcessorRuns) {
    const FieldKernel fastest = fastestFieldKernel();
    EXPECT_NE(fastest, FieldKernel::plain);
    EXPECT_TRUE(isFieldKernelSupported(fastest));
    EXPECT_TRUE(isFieldKernelSupported(FieldKernel::sse2));
}

// The browser build's kernel is not compiled into the native program: choosing it runs the plain
// kernel for every job.
TEST(FieldKernel, TheWebAssemblyKernelRunsPlainNatively) {
    EXPECT_FALSE(isFieldKernelSupported(FieldKernel::wasmSimd));
    for (const KernelJob job : {KernelJob::fieldSums, KernelJob::gridPass, KernelJob::settleRows,
                                KernelJob::belowMasks, KernelJob::reciprocals,
                                KernelJob::pairForces, KernelJob::cut}) {
        EXPECT_EQ(kernelRunning(FieldKernel::wasmSimd, job), FieldKernel::plain) << jobName(job);
    }
}

} // namespace
} // namespace velmorra
