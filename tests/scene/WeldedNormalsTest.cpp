#include "scene/WeldedNormals.h"

#include "math/Random.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace velmorra {
namespace {

// The definition, one vertex at a time: for vertex i, every vertex k at exactly its
// coordinates, and for each such k every face that uses k as any corner, in face order.
std::vector<Vector3> quadraticNormals(const std::vector<Vector3>& vertices,
                                      const std::vector<Face>& faces) {
    const std::size_t n = vertices.size();
    std::vector<Vector3> normals(n);
    for (std::size_t i = 0; i < n; ++i) {
        Vector3 sum;
        for (std::size_t k = 0; k < n; ++k) {
            const Vector3& a = vertices[i];
            const Vector3& b = vertices[k];
            if (!(a.x == b.x && a.y == b.y && a.z == b.z)) {
                continue;
            }
            for (const Face& face : faces) {
                if (face[0] >= n || face[1] >= n || face[2] >= n) {
                    continue;
                }
                if (face[0] == k || face[1] == k || face[2] == k) {
                    const Vector3& va = vertices[face[0]];
                    sum.add(cross(difference(vertices[face[1]], va),
                                  difference(vertices[face[2]], va)));
                }
            }
        }
        normals[i] = unitOrZero(sum);
    }
    return normals;
}

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
                       quadraticNormals(mesh.vertices, mesh.faces));
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

TEST(WeldedNormals, ANaNCoordinateSharesNoPosition) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<Vector3> vertices = {{nan, 0, 0}, {1, 0, 0}, {0, 1, 0}, {nan, 0, 0}};
    const std::vector<Vector3> normals = weldedNormals(vertices, std::vector<Face>{{0, 1, 2}});
    EXPECT_EQ(normals[0], (Vector3{}));
    EXPECT_EQ(normals[3], (Vector3{}));
}

} // namespace
} // namespace velmorra
