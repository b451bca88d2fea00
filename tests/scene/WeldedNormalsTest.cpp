#include "scene/WeldedNormals.h"
#include "scene/WeldedNormalsReference.h"

#include "math/Random.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace velmorra {
namespace {

// Vertices drawn from a small set of positions, so many records share one, and faces that
// include repeated corners, degenerate triangles and indices past the end.
struct RandomMesh {
    std::vector<Vector3> vertices;
    std::vector<Face> faces;
};

RandomMesh randomMesh(Random& random, int vertexCount, int faceCount, int positionCount) {
    std::vector<Vector3> positions;
    for (int i = 0; i < positionCount; ++i) {
        const auto coordinate = [&] {
            return static_cast<float>(random.next() % 200 - 100) / 7.0f;
        };
        positions.push_back({coordinate(), coordinate(), coordinate()});
    }
    positions.push_back({0.0f, -0.0f, 0.0f});
    positions.push_back({-0.0f, 0.0f, -0.0f});
    RandomMesh mesh;
    for (int i = 0; i < vertexCount; ++i) {
        mesh.vertices.push_back(
            positions[static_cast<std::size_t>(random.next()) % positions.size()]);
    }
    for (int f = 0; f < faceCount; ++f) {
        const auto corner = [&] {
            return static_cast<std::uint16_t>(random.next() % (vertexCount + 2));
        };
        mesh.faces.push_back({corner(), corner(), corner()});
    }
    return mesh;
}

void expectSameBits(const std::vector<Vector3>& actual, const std::vector<Vector3>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(actual[i], expected[i]);
    }
}

TEST(WeldedNormals, MatchTheDefinitionOnRandomMeshesWithSharedPositions) {
    Random random(12345);
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        const int vertexCount = 3 + round * 3;
        const RandomMesh mesh =
            randomMesh(random, vertexCount, vertexCount * 2, 1 + vertexCount / (1 + round % 4));
        expectSameBits(weldedNormals(mesh.vertices, mesh.faces),
                       weldedNormalsByDefinition(mesh.vertices, mesh.faces));
    }
}

TEST(WeldedNormals, ANormalWithoutDirectionIsZero) {
    // Vertex 3 is used by no face; 0 to 2 only by a face that names vertex 0 twice; 4 to 6
    // by two faces that cancel.
    const std::vector<Vector3> vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {5, 5, 5},
                                           {2, 0, 0}, {3, 0, 0}, {2, 1, 0}};
    const std::vector<Face> faces = {{0, 0, 1}, {4, 5, 6}, {4, 6, 5}};
    const std::vector<Vector3> normals = weldedNormals(vertices, faces);
    for (const Vector3& normal : normals) {
        EXPECT_EQ(normal, (Vector3{}));
    }
}

TEST(WeldedNormals, TinyAndHugeSumsStillGiveUnitNormals) {
    const float tiny = std::numeric_limits<float>::denorm_min();
    const Vector3 fromDenormals = unitOrZero({0, 3 * tiny, 6 * tiny});
    EXPECT_EQ(fromDenormals.x, 0.0f);
    EXPECT_NEAR(fromDenormals.y, 1 / std::sqrt(5.0f), 1e-7f);
    EXPECT_NEAR(fromDenormals.z, 2 / std::sqrt(5.0f), 1e-7f);
    const Vector3 fromHuge = unitOrZero({3e38f, -3e38f, 0});
    EXPECT_NEAR(fromHuge.x, 1 / std::sqrt(2.0f), 1e-7f);
    EXPECT_NEAR(fromHuge.y, -1 / std::sqrt(2.0f), 1e-7f);
    EXPECT_EQ(unitOrZero({std::numeric_limits<float>::infinity(), 0, 0}), (Vector3{}));
    // In the ordinary range it is the plain normalisation, to the bit.
    const Vector3 ordinary{0.3f, -4.7f, 12.25f};
    EXPECT_EQ(unitOrZero(ordinary), normalized(ordinary));
}

TEST(WeldedNormals, ANaNCoordinateSharesNoPosition) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<Vector3> vertices = {{nan, 0, 0}, {1, 0, 0}, {0, 1, 0}, {nan, 0, 0}};
    const std::vector<Vector3> normals = weldedNormals(vertices, std::vector<Face>{{0, 1, 2}});
    EXPECT_EQ(normals[0], (Vector3{}));
    EXPECT_EQ(normals[3], (Vector3{}));
}

} // namespace
} // namespace velmorra
