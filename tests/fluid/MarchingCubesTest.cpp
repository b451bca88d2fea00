#include "fluid/MarchingCubes.h"
#include "KernelParameters.h"
#include "fluid/DensityGrid.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <deque>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace velmorra {
namespace {

struct Corner {
    Vector3 normal;
    Vector3 vertex;
    friend bool operator==(const Corner&, const Corner&) = default;
};

// Collects what the polygoniser hands out, in order.
struct RecordingSink {
    std::vector<Corner> corners;
    void operator()(const Vector3& normal, const Vector3& vertex) {
        corners.push_back({normal, vertex});
    }
};

// A unit cube laid out as the grid lays out its cells; each corner's normal is its own place, so
// that interpolated normals can be told apart.
class UnitCube {
  public:
    explicit UnitCube(const std::array<double, 8>& values) {
        const Vector3 places[8] = {{0, 0, 0}, {1, 0, 0}, {1, 0, -1}, {0, 0, -1},
                                   {0, 1, 0}, {1, 1, 0}, {1, 1, -1}, {0, 1, -1}};
        for (int v = 0; v < 8; ++v) {
            points[v] = {places[v], places[v], values[v]};
            cell.corners[v] = &points[v];
        }
    }
    UnitCube(const UnitCube&) = delete;
    UnitCube& operator=(const UnitCube&) = delete;

    const GridCell& getCell() const { return cell; }

  private:
    std::array<GridPoint, 8> points;
    GridCell cell;
};

void expectNear(const Vector3& actual, const Vector3& expected, float tolerance = 1e-6f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

GridPoint pointAt(const Vector3& place, const Vector3& normal, double value) {
    return {place, normal, value};
}

TEST(InterpolateEdge, MidpointWhenTheLevelIsHalfWay) {
    const GridPoint a = pointAt({0, 0, 0}, {1, 0, 0}, 4.0);
    const GridPoint b = pointAt({2, 4, -6}, {0, 1, 0}, 8.0);
    Vector3 vertex;
    Vector3 normal;
    MarchingCubes::interpolateEdge(a, b, 6.0, vertex, normal);
    EXPECT_EQ(vertex, Vector3(1, 2, -3));
    EXPECT_EQ(normal, Vector3(0.5f, 0.5f, 0));
}

TEST(InterpolateEdge, LinearInTheDensity) {
    // mu = (4 - 2) / (10 - 2) = 0.25 of the way from a to b, whichever way the values run.
    const GridPoint a = pointAt({0, 1, 0}, {0, 0, 4}, 2.0);
    const GridPoint b = pointAt({1, 1, 0}, {0, 0, 8}, 10.0);
    Vector3 vertex;
    Vector3 normal;
    MarchingCubes::interpolateEdge(a, b, 4.0, vertex, normal);
    EXPECT_EQ(vertex, Vector3(0.25f, 1, 0));
    EXPECT_EQ(normal, Vector3(0, 0, 5));
    MarchingCubes::interpolateEdge(b, a, 4.0, vertex, normal);
    EXPECT_EQ(vertex, Vector3(0.25f, 1, 0));
}

TEST(InterpolateEdge, SnapsToACornerAtTheLevelOrOnAFlatEdge) {
    const GridPoint a = pointAt({0, 0, 0}, {1, 0, 0}, 6.000005);
    const GridPoint b = pointAt({1, 0, 0}, {0, 1, 0}, 5.999995);
    const GridPoint c = pointAt({2, 0, 0}, {0, 0, 1}, 9.0);
    const GridPoint d = pointAt({3, 0, 0}, {1, 1, 0}, 9.000001);
    Vector3 vertex;
    Vector3 normal;
    MarchingCubes::interpolateEdge(a, c, 6.0, vertex, normal);
    EXPECT_EQ(vertex, a.position);
    EXPECT_EQ(normal, a.normal);
    MarchingCubes::interpolateEdge(c, b, 6.0, vertex, normal);
    EXPECT_EQ(vertex, b.position);
    EXPECT_EQ(normal, b.normal);
    // Both within reach: the first corner wins.
    MarchingCubes::interpolateEdge(b, a, 6.0, vertex, normal);
    EXPECT_EQ(vertex, b.position);
    // Values too close to divide by: the first corner.
    MarchingCubes::interpolateEdge(d, c, 6.0, vertex, normal);
    EXPECT_EQ(vertex, d.position);
    EXPECT_EQ(normal, d.normal);
    // Just outside the reach, the vertex is interpolated.
    const GridPoint e = pointAt({0, 0, 0}, {0, 0, 0}, 5.99998);
    MarchingCubes::interpolateEdge(e, c, 6.0, vertex, normal);
    EXPECT_GT(vertex.x, 0.0f);
}

// Cuts the cells with the kernel's cut and with the plain one, and expects the same cases, the
// same packing and the same bits.
void expectSameCuts(FieldKernel kernel, std::span<const GridCell* const> cells, double isoLevel) {
    std::vector<CutCell> fast(cells.size());
    std::vector<CutCell> plain(cells.size());
    std::vector<EdgeCrossing> fastCrossings(cells.size() * maxCrossingsPerCell);
    std::vector<EdgeCrossing> plainCrossings(cells.size() * maxCrossingsPerCell);
    const int count = cutSurfaceCells(kernel, cells, isoLevel, fast, fastCrossings);
    ASSERT_EQ(count, cutSurfaceCells(FieldKernel::plain, cells, isoLevel, plain, plainCrossings));
    for (std::size_t c = 0; c < cells.size(); ++c) {
        ASSERT_EQ(fast[c].cubeCase, plain[c].cubeCase) << "cell " << c;
        ASSERT_EQ(fast[c].firstCrossing, plain[c].firstCrossing) << "cell " << c;
    }
    EXPECT_EQ(std::memcmp(fastCrossings.data(), plainCrossings.data(),
                          static_cast<std::size_t>(count) * sizeof(EdgeCrossing)),
              0);
}

class CutKernelTest : public testing::TestWithParam<FieldKernel> {
  protected:
    void SetUp() override {
        if (const std::string why = whyNotCompared(GetParam(), KernelJob::cut); !why.empty()) {
            GTEST_SKIP() << why;
        }
    }
};

INSTANTIATE_TEST_SUITE_P(Kernels, CutKernelTest, testing::ValuesIn(vectorKernels), kernelTestName);

TEST_P(CutKernelTest, GivesThePlainCutsBits) {
    DensityGrid grid;
    grid.layOut(23, 1.0f, 1.0f, 1.0f);
    const Vector3 particles[3] = {{0.1f, 0.2f, -0.1f}, {-0.3f, 0.05f, 0.2f}, {0.2f, -0.3f, 0.3f}};
    grid.computeField(particles, FieldKernel::plain);
    grid.computeNormals();
    std::vector<const GridCell*> cells;
    for (const GridCell& cell : grid.getCells()) {
        cells.push_back(&cell);
    }
    // A level between the samples, one at a sample (its edges snap to it) and one just off it.
    const double atSample = grid.point(11, 11, 11).value;
    for (const double level : {12.0, atSample, atSample + 3e-6, atSample - 3e-6}) {
        SCOPED_TRACE(level);
        expectSameCuts(GetParam(), cells, level);
    }
    // Cells snapping to a first corner, to a second one, and one with a NaN corner.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const UnitCube snapsToFirst({6.000005, 1, 9, 9, 9, 9, 9, 9});
    const UnitCube snapsToSecond({9, 5.999995, 9, 9, 9, 9, 9, 9});
    const UnitCube withNan({1, nan, 9, 1, 1, 9, 9, 1});
    const GridCell* const madeCells[3] = {&snapsToFirst.getCell(), &snapsToSecond.getCell(),
                                          &withNan.getCell()};
    expectSameCuts(GetParam(), madeCells, 6.0);
}

// A unit cube whose corners lie at -1 when below the level 0 and at 3 when above, so that every
// cut edge crosses a quarter of the way from its below corner, exactly. Corner v's normal is
// (v, 8 - v, 2v), unlike its place.
class CaseCube {
  public:
    explicit CaseCube(int cubeCase) : cubeCase(cubeCase) {
        for (int v = 0; v < 8; ++v) {
            const auto f = static_cast<float>(v);
            points[v] = {places[v], {f, 8 - f, 2 * f}, isBelow(cubeCase, v) ? -1.0 : 3.0};
            cell.corners[v] = &points[v];
        }
    }
    CaseCube(const CaseCube&) = delete;
    CaseCube& operator=(const CaseCube&) = delete;

    const GridCell& getCell() const { return cell; }

    // The crossing on edge e, worked out from its ends alone.
    Corner crossing(int e) const {
        const int below = isBelow(cubeCase, edgeEnds[e][0]) ? edgeEnds[e][0] : edgeEnds[e][1];
        const GridPoint& from = points[below];
        const GridPoint& to = points[edgeEnds[e][0] + edgeEnds[e][1] - below];
        const auto quarterWay = [](const Vector3& a, const Vector3& b) {
            return sum(a, scaled(0.25f, difference(b, a)));
        };
        return {quarterWay(from.normal, to.normal), quarterWay(from.position, to.position)};
    }

  private:
    static constexpr Vector3 places[8] = {{0, 0, 0}, {1, 0, 0}, {1, 0, -1}, {0, 0, -1},
                                          {0, 1, 0}, {1, 1, 0}, {1, 1, -1}, {0, 1, -1}};
    static constexpr int edgeEnds[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                                            {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};

    static bool isBelow(int cubeCase, int v) { return (cubeCase >> v & 1) != 0; }

    int cubeCase;
    std::array<GridPoint, 8> points;
    GridCell cell;
};

class CutCasesTest : public testing::TestWithParam<FieldKernel> {};

INSTANTIATE_TEST_SUITE_P(Kernels, CutCasesTest, testing::ValuesIn(everyFieldKernel),
                         kernelTestName);

// All 256 cases cut in one pass, so that the packed crossings of many cells lie one after another,
// then emitted: each cell's corners are the published table's edges, one after another, at the
// crossings worked out edge by edge.
TEST_P(CutCasesTest, EveryCaseEmitsTheTablesEdgesAtTheirOwnCrossings) {
    if (const std::string why = whyNotCompared(GetParam(), KernelJob::cut); !why.empty()) {
        GTEST_SKIP() << why;
    }
    std::deque<CaseCube> cubes;
    std::vector<const GridCell*> cells;
    for (int cubeCase = 0; cubeCase < 256; ++cubeCase) {
        cells.push_back(&cubes.emplace_back(cubeCase).getCell());
    }
    std::vector<CutCell> cut(cells.size());
    std::vector<EdgeCrossing> crossings(cells.size() * maxCrossingsPerCell);
    cutSurfaceCells(GetParam(), cells, 0.0, cut, crossings);
    for (int cubeCase = 0; cubeCase < 256; ++cubeCase) {
        SCOPED_TRACE(cubeCase);
        ASSERT_EQ(cut[cubeCase].cubeCase, cubeCase);
        std::vector<Corner> expected;
        for (int t = 0; triangleTable[cubeCase][t] >= 0; ++t) {
            expected.push_back(cubes[cubeCase].crossing(triangleTable[cubeCase][t]));
        }
        RecordingSink emitted;
        const int triangles =
            MarchingCubes::emitTriangles(cut[cubeCase], crossings.data(), emitted);
        EXPECT_EQ(emitted.corners, expected);
        EXPECT_EQ(3 * triangles, static_cast<int>(expected.size()));
    }
}

TEST(PolygonizeCell, UncutCellsEmitNothing) {
    MarchingCubes cubes;
    RecordingSink sink;
    const UnitCube outside({6, 7, 8, 9, 6, 7, 8, 9});
    const UnitCube inside({1, 2, 3, 4, 5, 5.5, 0, 1});
    EXPECT_EQ(cubes.polygonizeCell(outside.getCell(), 6.0, sink), 0);
    EXPECT_EQ(cubes.polygonizeCell(inside.getCell(), 6.0, sink), 0);
    EXPECT_TRUE(sink.corners.empty());
}

TEST(PolygonizeCell, LoneCornerBelowGivesOneTriangleInTableOrder) {
    MarchingCubes cubes;
    RecordingSink sink;
    // Corner 0 alone below: edges 0, 8 and 3, each cut half-way.
    const UnitCube first({2, 10, 10, 10, 10, 10, 10, 10});
    ASSERT_EQ(cubes.polygonizeCell(first.getCell(), 6.0, sink), 1);
    ASSERT_EQ(sink.corners.size(), 3u);
    expectNear(sink.corners[0].vertex, {0.5f, 0, 0});
    expectNear(sink.corners[1].vertex, {0, 0.5f, 0});
    expectNear(sink.corners[2].vertex, {0, 0, -0.5f});
    expectNear(sink.corners[0].normal, {0.5f, 0, 0});

    // Corner 7 alone below: edges 7, 6 and 11.
    sink.corners.clear();
    const UnitCube last({10, 10, 10, 10, 10, 10, 10, 2});
    ASSERT_EQ(cubes.polygonizeCell(last.getCell(), 6.0, sink), 1);
    ASSERT_EQ(sink.corners.size(), 3u);
    expectNear(sink.corners[0].vertex, {0, 1, -0.5f});
    expectNear(sink.corners[1].vertex, {0.5f, 1, -1});
    expectNear(sink.corners[2].vertex, {0, 0.5f, -1});
    expectNear(sink.corners[2].normal, {0, 0.5f, -1});
}

TEST(PolygonizeCell, CountsEveryTriangleItEmits) {
    MarchingCubes cubes;
    RecordingSink sink;
    // Corners 0 and 6 below: two separate corner triangles.
    const UnitCube diagonal({1, 9, 9, 9, 9, 9, 1, 9});
    EXPECT_EQ(cubes.polygonizeCell(diagonal.getCell(), 5.0, sink), 2);
    // Lower face below: a quad in two triangles at half height.
    const UnitCube half({0, 0, 0, 0, 10, 10, 10, 10});
    EXPECT_EQ(cubes.polygonizeCell(half.getCell(), 5.0, sink), 2);
    ASSERT_EQ(sink.corners.size(), 12u);
    for (std::size_t c = 6; c < 12; ++c) {
        EXPECT_FLOAT_EQ(sink.corners[c].vertex.y, 0.5f);
    }
}

// Merges vertices that two neighbouring cells computed from the same grid edge, possibly from
// opposite ends and so a rounding apart.
class VertexWelder {
  public:
    int indexOf(const Vector3& v) {
        const auto key = keyOf(v);
        for (int dx = -1; dx <= 1; ++dx) {
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dz = -1; dz <= 1; ++dz) {
                    const auto found = buckets.find(
                        {std::get<0>(key) + dx, std::get<1>(key) + dy, std::get<2>(key) + dz});
                    if (found == buckets.end()) {
                        continue;
                    }
                    for (int index : found->second) {
                        if (length(difference(vertices[index], v)) < tolerance) {
                            return index;
                        }
                    }
                }
            }
        }
        vertices.push_back(v);
        buckets[key].push_back(static_cast<int>(vertices.size()) - 1);
        return static_cast<int>(vertices.size()) - 1;
    }

    int count() const { return static_cast<int>(vertices.size()); }

  private:
    using Key = std::tuple<long, long, long>;
    static constexpr double tolerance = 1e-5;

    static Key keyOf(const Vector3& v) {
        return {std::lround(v.x / 1e-3), std::lround(v.y / 1e-3), std::lround(v.z / 1e-3)};
    }

    std::vector<Vector3> vertices;
    std::map<Key, std::vector<int>> buckets;
};

TEST(PolygonizeGrid, LoneParticleGivesAClosedOutwardSphere) {
    DensityGrid grid;
    grid.layOut(40, 1.0f, 1.0f, 1.0f);
    const Vector3 centre{0.013f, -0.021f, 0.017f};
    const Vector3 particles[1] = {centre};
    grid.computeField(particles, FieldKernel::plain);
    grid.computeNormals();

    // A lone particle's density is 1 / r^2, so the level 4 lies at radius 0.5.
    MarchingCubes cubes;
    RecordingSink sink;
    int triangles = 0;
    for (const GridCell& cell : grid.getCells()) {
        triangles += cubes.polygonizeCell(cell, 4.0, sink);
    }
    ASSERT_GT(triangles, 1000);
    ASSERT_EQ(sink.corners.size(), 3u * triangles);

    VertexWelder welder;
    std::map<std::pair<int, int>, int> directedEdges;
    for (int t = 0; t < triangles; ++t) {
        const Corner* corner = &sink.corners[3 * t];
        int index[3];
        for (int c = 0; c < 3; ++c) {
            const Vector3 outwards = difference(corner[c].vertex, centre);
            EXPECT_NEAR(length(outwards), 0.5, 0.002);
            EXPECT_GT(dot(corner[c].normal, outwards), 0.0f);
            index[c] = welder.indexOf(corner[c].vertex);
        }
        ASSERT_TRUE(index[0] != index[1] && index[1] != index[2] && index[2] != index[0]);
        const Vector3 facing = cross(difference(corner[1].vertex, corner[0].vertex),
                                     difference(corner[2].vertex, corner[0].vertex));
        EXPECT_GT(dot(facing, difference(corner[0].vertex, centre)), 0.0f);
        for (int c = 0; c < 3; ++c) {
            ++directedEdges[{index[c], index[(c + 1) % 3]}];
        }
    }
    // Every edge is walked once in each direction: shared by exactly two triangles that agree
    // on which side is out.
    for (const auto& [edge, uses] : directedEdges) {
        EXPECT_EQ(uses, 1);
        EXPECT_EQ(directedEdges.count({edge.second, edge.first}), 1u);
    }
    // A closed surface of genus 0: V - E + F = 2.
    const int edges = static_cast<int>(directedEdges.size()) / 2;
    EXPECT_EQ(welder.count() - edges + triangles, 2);
}

TEST(PolygonizeGrid, SurfaceIsCutOpenAtTheGridsFaces) {
    DensityGrid grid;
    grid.layOut(20, 1.0f, 1.0f, 1.0f);
    // The sphere of radius 0.5 around (0.8, 0, 0) reaches past the last sample along +x.
    const Vector3 particles[1] = {{0.8f, 0.013f, -0.017f}};
    grid.computeField(particles, FieldKernel::plain);
    grid.computeNormals();
    MarchingCubes cubes;
    RecordingSink sink;
    for (const GridCell& cell : grid.getCells()) {
        cubes.polygonizeCell(cell, 4.0, sink);
    }
    VertexWelder welder;
    std::map<std::pair<int, int>, int> directedEdges;
    for (std::size_t c = 0; c < sink.corners.size(); c += 3) {
        int index[3];
        for (int k = 0; k < 3; ++k) {
            index[k] = welder.indexOf(sink.corners[c + k].vertex);
            EXPECT_LE(sink.corners[c + k].vertex.x, 0.9f);
        }
        for (int k = 0; k < 3; ++k) {
            ++directedEdges[{index[k], index[(k + 1) % 3]}];
        }
    }
    int rim = 0;
    for (const auto& [edge, uses] : directedEdges) {
        rim += directedEdges.count({edge.second, edge.first}) == 0;
    }
    EXPECT_GT(rim, 0);
}

} // namespace
} // namespace velmorra
