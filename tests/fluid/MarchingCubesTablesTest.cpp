#include "fluid/MarchingCubesTables.h"

#include "math/Vector3.h"
#include "support/Sha256.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace velmorra {
namespace {

// The cube as the grid lays it out: corners 0-3 on the lower face, corner 3 one step towards -z
// from corner 0, corners 4-7 one step above 0-3.
const Vector3 cornerPlaces[8] = {{0, 0, 0}, {1, 0, 0}, {1, 0, -1}, {0, 0, -1},
                                 {0, 1, 0}, {1, 1, 0}, {1, 1, -1}, {0, 1, -1}};
const int edgeEnds[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                             {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
const int faces[6][4] = {{0, 1, 2, 3}, {4, 5, 6, 7}, {0, 1, 5, 4},
                         {3, 2, 6, 7}, {0, 3, 7, 4}, {1, 2, 6, 5}};

bool isBelow(int cubeCase, int corner) {
    return (cubeCase >> corner) & 1;
}

Vector3 edgeMiddle(int edge) {
    return scaled(0.5f, sum(cornerPlaces[edgeEnds[edge][0]], cornerPlaces[edgeEnds[edge][1]]));
}

struct Triangle {
    int edges[3];
};

std::vector<Triangle> trianglesOf(int cubeCase) {
    std::vector<Triangle> triangles;
    const auto& row = triangleTable[cubeCase];
    for (int t = 0; t + 2 < 16 && row[t] >= 0; t += 3) {
        triangles.push_back({{row[t], row[t + 1], row[t + 2]}});
    }
    return triangles;
}

std::vector<int> rowPrefix(int cubeCase) {
    std::vector<int> prefix;
    for (int entry : triangleTable[cubeCase]) {
        if (entry < 0) {
            break;
        }
        prefix.push_back(entry);
    }
    return prefix;
}

bool edgeOnFace(int edge, int face) {
    int found = 0;
    for (int corner : faces[face]) {
        found += corner == edgeEnds[edge][0] || corner == edgeEnds[edge][1];
    }
    return found == 2;
}

int sharedFace(int a, int b) {
    for (int face = 0; face < 6; ++face) {
        if (edgeOnFace(a, face) && edgeOnFace(b, face)) {
            return face;
        }
    }
    return -1;
}

TEST(MarchingCubesTables, EdgeTableMarksTheEdgesWithOneCornerBelow) {
    for (int cubeCase = 0; cubeCase < 256; ++cubeCase) {
        std::uint32_t expected = 0;
        for (int e = 0; e < 12; ++e) {
            if (isBelow(cubeCase, edgeEnds[e][0]) != isBelow(cubeCase, edgeEnds[e][1])) {
                expected |= 1u << e;
            }
        }
        EXPECT_EQ(edgeTable[cubeCase], expected) << "case " << cubeCase;
    }
    EXPECT_EQ(edgeTable[1], 0x109u);
    EXPECT_EQ(edgeTable[2], 0x203u);
    EXPECT_EQ(edgeTable[3], 0x30Au);
    EXPECT_EQ(edgeTable[4], 0x406u);
    EXPECT_EQ(edgeTable[8], 0x80Cu);
}

TEST(MarchingCubesTables, RowsUseExactlyTheCutEdgesAndEndWithMinusOne) {
    int total = 0;
    for (int cubeCase = 0; cubeCase < 256; ++cubeCase) {
        const std::vector<int> prefix = rowPrefix(cubeCase);
        ASSERT_EQ(prefix.size() % 3, 0u) << "case " << cubeCase;
        ASSERT_LE(prefix.size(), 15u) << "case " << cubeCase;
        for (std::size_t rest = prefix.size(); rest < 16; ++rest) {
            EXPECT_EQ(triangleTable[cubeCase][rest], -1) << "case " << cubeCase;
        }
        std::uint32_t used = 0;
        for (int edge : prefix) {
            ASSERT_LT(edge, 12);
            used |= 1u << edge;
        }
        EXPECT_EQ(used, edgeTable[cubeCase]) << "case " << cubeCase;
        total += static_cast<int>(prefix.size() / 3);
    }
    EXPECT_EQ(total, 820);
}

TEST(MarchingCubesTables, TellingRows) {
    const std::map<int, std::vector<int>> rows = {
        {0, {}},
        {255, {}},
        {1, {0, 8, 3}},
        {2, {0, 1, 9}},
        {3, {1, 8, 3, 9, 8, 1}},
        {4, {1, 2, 10}},
        {5, {0, 8, 3, 1, 2, 10}},
        {6, {9, 2, 10, 0, 2, 9}},
        {7, {2, 8, 3, 2, 10, 8, 10, 9, 8}},
        {8, {3, 11, 2}},
        {9, {0, 11, 2, 8, 11, 0}},
        {15, {9, 8, 10, 10, 8, 11}},
        {16, {4, 7, 8}},
        {17, {4, 3, 0, 7, 3, 4}},
        {127, {7, 11, 6}},
        {128, {7, 6, 11}},
        {254, {0, 3, 8}},
    };
    for (const auto& [cubeCase, expected] : rows) {
        EXPECT_EQ(rowPrefix(cubeCase), expected) << "case " << cubeCase;
    }
}

// The published table comes with the SHA-256 of its rows written as one list of 256 lists of 16
// numbers, "[[-1, -1, ...], [0, 8, 3, ...], ...]"; the built-in table written the same way must
// give the same digest.
TEST(MarchingCubesTables, TriangleTableIsThePublishedOne) {
    std::string text = "[";
    for (const auto& row : triangleTable) {
        text += text.size() > 1 ? ", [" : "[";
        for (std::size_t i = 0; i < row.size(); ++i) {
            text += (i > 0 ? ", " : "") + std::to_string(row[i]);
        }
        text += "]";
    }
    text += "]";
    EXPECT_EQ(test::sha256Hex(text),
              "0f9447f4b6579084662e91ef14e1ca2727bf665d9bd8818ababd8e3948c3f3ed");
}

// Seen from the below corners a triangle runs counter-clockwise exactly when its right-hand
// normal points to them. Each vertex sits in the middle of its edge, so the normal points to the
// below corner of an edge when it points along the edge from its other corner to that one. Where
// four corners are below the surface is not flat and one triangle of its fan may lean across one
// of its own edges, so the triangle is judged by its three edges together.
TEST(MarchingCubesTables, TrianglesRunCounterClockwiseSeenFromTheBelowCorners) {
    for (int cubeCase = 0; cubeCase < 256; ++cubeCase) {
        for (const Triangle& triangle : trianglesOf(cubeCase)) {
            const Vector3 a = edgeMiddle(triangle.edges[0]);
            const Vector3 normal = cross(difference(edgeMiddle(triangle.edges[1]), a),
                                         difference(edgeMiddle(triangle.edges[2]), a));
            Vector3 towardsBelow{0, 0, 0};
            for (int edge : triangle.edges) {
                const auto [first, second] = edgeEnds[edge];
                const Vector3 firstToSecond = difference(cornerPlaces[second], cornerPlaces[first]);
                towardsBelow = isBelow(cubeCase, second) ? sum(towardsBelow, firstToSecond)
                                                         : difference(towardsBelow, firstToSecond);
            }
            EXPECT_GT(dot(normal, towardsBelow), 0.0f)
                << "case " << cubeCase << " edges " << triangle.edges[0] << " " << triangle.edges[1]
                << " " << triangle.edges[2];
        }
    }
}

// Inside a cube, every segment between two vertices that do not share a face is used by two
// triangles in opposite directions, and every segment on a face by one: each row is a surface
// without holes whose rim lies on the cube's faces.
TEST(MarchingCubesTables, EachRowIsASurfaceWithItsRimOnTheFaces) {
    for (int cubeCase = 0; cubeCase < 256; ++cubeCase) {
        std::map<std::pair<int, int>, int> uses;
        for (const Triangle& triangle : trianglesOf(cubeCase)) {
            for (int side = 0; side < 3; ++side) {
                ++uses[{triangle.edges[side], triangle.edges[(side + 1) % 3]}];
            }
        }
        for (const auto& [segment, count] : uses) {
            EXPECT_EQ(count, 1) << "case " << cubeCase;
            const bool onFace = sharedFace(segment.first, segment.second) >= 0;
            const bool reversed = uses.count({segment.second, segment.first}) > 0;
            EXPECT_NE(onFace, reversed)
                << "case " << cubeCase << " segment " << segment.first << "-" << segment.second;
        }
    }
}

// Neighbouring cells share a face; their rims on it must match, so the rim on a face may depend
// only on which of that face's four corners are below.
TEST(MarchingCubesTables, RimOnAFaceDependsOnlyOnThatFacesCorners) {
    std::map<std::pair<int, int>, std::set<std::set<int>>> rims;
    for (int cubeCase = 0; cubeCase < 256; ++cubeCase) {
        std::map<int, std::set<std::set<int>>> rimByFace;
        for (const Triangle& triangle : trianglesOf(cubeCase)) {
            for (int side = 0; side < 3; ++side) {
                const int a = triangle.edges[side];
                const int b = triangle.edges[(side + 1) % 3];
                const int face = sharedFace(a, b);
                if (face >= 0) {
                    rimByFace[face].insert({a, b});
                }
            }
        }
        for (int face = 0; face < 6; ++face) {
            int pattern = 0;
            for (int place = 0; place < 4; ++place) {
                pattern |= isBelow(cubeCase, faces[face][place]) << place;
            }
            const auto [known, inserted] = rims.try_emplace({face, pattern}, rimByFace[face]);
            EXPECT_EQ(known->second, rimByFace[face]) << "case " << cubeCase << " face " << face;
        }
    }
}

} // namespace
} // namespace velmorra
