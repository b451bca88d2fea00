#include "content/AltarModel.h"

#include "SeededRandom.h"
#include "content/MeshBuilder.h"

#include <cmath>
#include <string>

namespace velmorra::tools {

namespace {

using Point = MeshBuilder::ProfilePoint;
using Outline = MeshBuilder::Outline;

constexpr double pi = 3.14159265358979323846;
constexpr double lowerStep = -2.2;
constexpr double columnDistance = 3.3;

// The basin's cross-section, from the foot of its plinth up the outside,
// over the rim, down the inside to the edge of the floor.
std::vector<Point> basinProfile() {
    const double f = AltarModel::basinFloor, r = AltarModel::basinInner, top = AltarModel::basinRim;
    return {{r + 0.42, -1.8},       {r + 0.38, -1.74},      {r + 0.38, -1.56},
            {r + 0.34, -1.5},       {r + 0.26, -1.45},      {r + 0.28, top - 0.16},
            {r + 0.33, top - 0.12}, {r + 0.33, top - 0.06}, {r + 0.3, top - 0.02},
            {r + 0.2, top + 0.01},  {r + 0.04, top},        {r + 0.01, top - 0.06},
            {r, f + 0.03},          {r - 0.04, f}};
}

// Two round steps under the basin, each with a bevelled nosing, from the
// ground inwards and upwards.
std::vector<Point> stepsProfile() {
    return {{3.95, -2.6},  {3.78, -2.6}, {3.72, -2.54}, {3.72, -2.3}, {3.7, -2.24},
            {3.64, -2.2},  {3.3, -2.2},  {2.94, -2.2},  {2.9, -2.16}, {2.9, -1.9},
            {2.88, -1.84}, {2.82, -1.8}, {2.2, -1.8},   {0.0, -1.8}};
}

std::vector<Point> columnProfile(double base, double brokenAt) {
    return {
        {0.0, base},           {0.36, base},      {0.38, base + 0.03}, {0.38, base + 0.14},
        {0.34, base + 0.18},   {0.3, base + 0.2}, {0.28, base + 0.26}, {0.26, base + 0.32, 0.05},
        {0.25, brokenAt, 0.05}};
}

// A broken shaft: the top ring is lifted and dropped unevenly and closed by a
// cap whose middle sits lower, like a break.
void breakTop(MeshBuilder& column, MeshBuilder::Range ring, double brokenAt, std::uint64_t seed) {
    SeededRandom random(seed);
    const int count = ring.last - ring.first;
    std::vector<double> lift(static_cast<std::size_t>(count));
    for (int i = 0; i < count - 1; ++i) {
        const double angle = 2.0 * pi * i / (count - 1);
        lift[static_cast<std::size_t>(i)] =
            0.12 * std::sin(angle * 2.0 + seed) + random.between(-0.06, 0.06);
    }
    lift.back() = lift.front();
    Vec3 middle;
    for (int i = 0; i < count; ++i) {
        Vec3 p = column.position(ring.first + i);
        p.y += lift[static_cast<std::size_t>(i)];
        column.setPosition(ring.first + i, p);
        middle = middle + p * (1.0 / count);
    }
    middle.y = brokenAt - 0.08;
    const int centre = column.addVertex(middle, 0.5, 0.5);
    for (int i = 0; i + 1 < count; ++i) {
        const Vec3 p = column.position(ring.first + i);
        const int rim = column.addVertex(p, 0.5 + (p.x - middle.x), 0.5 + (p.z - middle.z));
        const Vec3 q = column.position(ring.first + i + 1);
        const int next = column.addVertex(q, 0.5 + (q.x - middle.x), 0.5 + (q.z - middle.z));
        column.addTriangle(centre, rim, next);
    }
}

MeshBuilder column(int index, double angle, double brokenAt) {
    MeshBuilder builder("Column" + std::to_string(index));
    const Vec3 place{columnDistance * std::cos(angle), 0.0, columnDistance * std::sin(angle)};
    const MeshBuilder::Range top = builder.addSweep(
        Outline::circle(32, 16), columnProfile(lowerStep, brokenAt), place, 2.0, 0.7);
    breakTop(builder, top, brokenAt, 100 + static_cast<std::uint64_t>(index));
    return builder;
}

// A drum fallen from a column, lying on the lower step.
MeshBuilder fallenDrum() {
    MeshBuilder builder("Drum");
    const std::vector<Point> profile{{0.0, -0.3},        {0.23, -0.3}, {0.25, -0.27, 0.05},
                                     {0.25, 0.27, 0.05}, {0.23, 0.3},  {0.0, 0.3}};
    builder.addSweep(Outline::circle(32, 16), profile, {}, 2.0, 0.7);
    const double turn = 0.6;
    builder.transform(0, builder.vertexCount(), [turn](Vec3 p) {
        const Vec3 lying{p.y, -p.x, p.z}; // the axis laid horizontal
        const Vec3 turned{lying.x * std::cos(turn) - lying.z * std::sin(turn), lying.y,
                          lying.x * std::sin(turn) + lying.z * std::cos(turn)};
        return turned + Vec3{0.2, lowerStep + 0.25, 3.3};
    });
    return builder;
}

MeshBuilder boulders() {
    MeshBuilder builder("Boulders");
    const struct {
        double angle, distance, size;
    } stones[] = {{-0.25, 3.3, 0.3}, {0.2, 3.35, 0.22}, {1.95, 3.3, 0.34}, {2.8, 3.35, 0.2},
                  {3.3, 3.3, 0.28},  {4.45, 3.3, 0.33}, {5.0, 3.35, 0.21}, {5.9, 3.3, 0.26}};
    std::uint64_t seed = 200;
    for (const auto& stone : stones) {
        const Vec3 centre{stone.distance * std::cos(stone.angle), lowerStep,
                          stone.distance * std::sin(stone.angle)};
        builder.addBoulder(centre, {stone.size * 1.2, stone.size, stone.size}, seed++);
    }
    return builder;
}

} // namespace

std::vector<ThreeDsWriter::Material> AltarModel::materials() {
    return {{"Marble", {80, 80, 78}, {235, 232, 226}, {150, 150, 150}, 60, "marble.bmp"},
            {"Sandstone", {90, 70, 50}, {225, 200, 170}, {40, 36, 30}, 10, "sandstone.bmp"},
            {"Basalt", {50, 50, 50}, {200, 200, 195}, {70, 70, 70}, 25, "basalt.bmp"}};
}

std::vector<ThreeDsWriter::Mesh> AltarModel::meshes() {
    MeshBuilder basin("Basin");
    const MeshBuilder::Range floorEdge =
        basin.addSweep(Outline::roundedSquare(0.12, 12, 6), basinProfile(), {}, 4.0, 0.5);
    basin.addFlatCap(floorEdge, 0.3);
    MeshBuilder steps("Steps");
    steps.addSweep(Outline::circle(72), stepsProfile(), {}, 8.0, 0.6);

    std::vector<ThreeDsWriter::Mesh> meshes{basin.toMesh("Marble"), steps.toMesh("Sandstone")};
    const double heights[] = {-0.78, -1.3, -0.95, -1.55};
    for (int i = 0; i < 4; ++i) {
        meshes.push_back(column(i + 1, pi * (0.25 + 0.5 * i), heights[i]).toMesh("Marble"));
    }
    meshes.push_back(fallenDrum().toMesh("Marble"));
    meshes.push_back(boulders().toMesh("Basalt"));
    return meshes;
}

std::vector<std::uint8_t> AltarModel::file() {
    return ThreeDsWriter::scene(materials(), meshes());
}

} // namespace velmorra::tools
