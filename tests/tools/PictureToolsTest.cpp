#include "SeededRandom.h"
#include "content/CoverageMask.h"
#include "content/FontFiles.h"
#include "content/GradientNoise.h"
#include "content/MeshBuilder.h"
#include "content/SphereMapRenderer.h"
#include "content/TextRasterizer.h"

#include <gtest/gtest.h>

#include <cmath>

namespace velmorra {
namespace {

using namespace tools;

void expectNear(Vec3 actual, Vec3 expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-9);
    EXPECT_NEAR(actual.y, expected.y, 1e-9);
    EXPECT_NEAR(actual.z, expected.z, 1e-9);
}

// OpenGL's sphere map: the middle reflects back at the viewer, a point half
// way out along x (normal at 45 degrees) reflects straight sideways, and the
// top half shows what is above.
TEST(SphereMapRendererTest, TexelsLookWhereAMirrorBallReflects) {
    expectNear(SphereMapRenderer::reflectionAt(0.5, 0.5), {0, 0, 1});
    const double half = 0.5 + 0.5 * std::sqrt(0.5);
    expectNear(SphereMapRenderer::reflectionAt(half, 0.5), {1, 0, 0});
    expectNear(SphereMapRenderer::reflectionAt(0.5, half), {0, 1, 0});
    const Vec3 rim = SphereMapRenderer::reflectionAt(1.0, 1.0);
    EXPECT_LT(rim.z, -0.99); // the border repeats the rim: nearly straight behind
    EXPECT_GT(rim.y, 0.0);   // but still on the upper side
    const Canvas map = SphereMapRenderer::render(
        [](const Vec3& d) { return Rgb::grey(d.y > 0 ? 1.0f : 0.0f); }, 8, 2);
    EXPECT_FLOAT_EQ(map.at(4, 1).red, 1.0f); // row 1 is near the top
    EXPECT_FLOAT_EQ(map.at(4, 6).red, 0.0f);
}

TEST(SeededRandomTest, FollowsSplitMix64) {
    SeededRandom random(0);
    EXPECT_EQ(random.next(), 0xe220a8397b1dcdafULL);
    EXPECT_EQ(random.next(), 0x6e789e6aa1b965f4ULL);
    SeededRandom another(7);
    for (int i = 0; i < 1000; ++i) {
        const int value = another.below(5);
        ASSERT_GE(value, 0);
        ASSERT_LT(value, 5);
    }
}

TEST(GradientNoiseTest, VanishesOnTheLatticeAndTilesWhenPeriodic) {
    const GradientNoise noise(3);
    EXPECT_DOUBLE_EQ(noise.sample({2, -5, 7}), 0.0);
    for (const double x : {0.3, 1.7, 3.9}) {
        const Vec3 p{x, 0.6, 0.25};
        EXPECT_NEAR(noise.fractalPeriodic(p, 4, 5), noise.fractalPeriodic(p + Vec3{4, 0, 0}, 4, 5),
                    1e-12);
        EXPECT_NEAR(noise.fractalPeriodic(p, 4, 5), noise.fractalPeriodic(p + Vec3{0, -8, 0}, 4, 5),
                    1e-12);
    }
    EXPECT_NE(noise.sample({0.5, 0.5, 0.5}), GradientNoise(4).sample({0.5, 0.5, 0.5}));
}

TEST(CoverageMaskTest, TurnsAQuarterCounterClockwise) {
    CoverageMask mask(3, 2);
    mask.set(2, 0, 1.0f); // top right
    const CoverageMask turned = mask.rotatedCounterClockwise();
    ASSERT_EQ(turned.getWidth(), 2);
    ASSERT_EQ(turned.getHeight(), 3);
    EXPECT_FLOAT_EQ(turned.at(0, 0), 1.0f); // becomes top left
    EXPECT_FLOAT_EQ(mask.padded(2).at(4, 2), 1.0f);
    EXPECT_FLOAT_EQ(mask.at(-1, 0), 0.0f);
}

TEST(TextRasterizerTest, FitsLetteringIntoItsBox) {
    const TextRasterizer font(FontFiles::titleFont());
    ASSERT_TRUE(font.isReady());
    const CoverageMask line = font.renderToFit("VELMORRA", 300, 60);
    EXPECT_LE(line.getWidth(), 300);
    EXPECT_LE(line.getHeight(), 60);
    EXPECT_GT(line.getWidth(), 250); // a long word is limited by the width, and fills it
    EXPECT_FLOAT_EQ(line.largest(), 1.0f);
    EXPECT_FALSE(TextRasterizer("/nonexistent.ttf").isReady());
    EXPECT_TRUE(TextRasterizer("/nonexistent.ttf").render("A", 20).isEmpty());
}

Vec3 faceNormal(const ThreeDsWriter::Mesh& mesh, const ThreeDsWriter::Face& face) {
    const auto at = [&](int i) {
        const ThreeDsWriter::Vertex& v = mesh.vertices[static_cast<std::size_t>(i)];
        return Vec3{v.x, v.z, -v.y}; // back to scene axes
    };
    return (at(face.b) - at(face.a)).cross(at(face.c) - at(face.a));
}

// A closed cylinder swept from the middle of its base outwards, up and back in:
// every face must point away from its axis or out through its caps.
TEST(MeshBuilderTest, SweepsFaceOutwardsAndTheFileIsZUp) {
    MeshBuilder builder("Can");
    builder.addSweep(MeshBuilder::Outline::circle(12), {{0, 0}, {1, 0}, {1, 2}, {0, 2}}, {}, 1.0,
                     1.0);
    const ThreeDsWriter::Mesh mesh = builder.toMesh("Tin");
    // Three bands of twelve quads; the half of each cap quad that meets the axis is dropped.
    EXPECT_EQ(mesh.faces.size(), 12u * 2u * 3u - 2u * 12u);
    for (const ThreeDsWriter::Face& face : mesh.faces) {
        const Vec3 n = faceNormal(mesh, face);
        const auto& a = mesh.vertices[face.a];
        const Vec3 centre{a.x, a.z, -a.y};
        const bool cap = std::fabs(n.x) + std::fabs(n.z) < 1e-9;
        if (cap) {
            EXPECT_EQ(n.y > 0, centre.y > 1.0);
        } else {
            EXPECT_GT(n.x * centre.x + n.z * centre.z, 0.0);
        }
    }
    MeshBuilder point("Point");
    point.addVertex({1, 2, 3}, 0, 0);
    const ThreeDsWriter::Vertex v = point.toMesh("x").vertices[0];
    EXPECT_FLOAT_EQ(v.x, 1.0f);
    EXPECT_FLOAT_EQ(v.y, -3.0f);
    EXPECT_FLOAT_EQ(v.z, 2.0f);
}

TEST(MeshBuilderTest, FlatCapsFaceUpAndBouldersFaceOut) {
    MeshBuilder builder("Dish");
    const MeshBuilder::Range rim = builder.addSweep(MeshBuilder::Outline::roundedSquare(0.2, 4, 3),
                                                    {{1, 0}, {1, 0.5}}, {}, 1.0, 1.0);
    const int before = builder.triangleCount();
    builder.addFlatCap(rim, 1.0);
    builder.addBoulder({5, 0, 0}, {1, 1, 1}, 9);
    const ThreeDsWriter::Mesh mesh = builder.toMesh("Stone");
    for (std::size_t i = 0; i < mesh.faces.size(); ++i) {
        const Vec3 n = faceNormal(mesh, mesh.faces[i]);
        if (n.length() < 1e-3) {
            continue; // slivers where the boulder is cut flat: no area to face anywhere
        }
        const auto& a = mesh.vertices[mesh.faces[i].a];
        if (static_cast<int>(i) >= before && a.x < 2.5f) {
            EXPECT_GT(n.y, 0.0);
        } else if (a.x >= 2.5f) {
            const Vec3 out{a.x - 5.0, a.z, -a.y};
            EXPECT_GT(n.dot(out), 0.0);
        }
    }
}

} // namespace
} // namespace velmorra
