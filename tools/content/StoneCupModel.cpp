#include "content/StoneCupModel.h"

#include "content/MeshBuilder.h"

namespace velmorra::tools {

namespace {

using Point = MeshBuilder::ProfilePoint;

// From the middle of the foot's underside outwards, up the outside, over the
// lip and down the inside to the middle of the inner floor.
std::vector<Point> cupProfile() {
    const double floor = StoneCupModel::innerFloor;
    const double wall = StoneCupModel::innerWall;
    return {{0.0, 0.0},           {1.2, 0.0},           {1.72, 0.0},
            {1.78, 0.04},         {1.8, 0.12},          {1.74, 0.2},
            {1.5, 0.28},          {1.3, 0.38},          {1.28, 0.5},
            {1.42, 0.56},         {1.7, 0.66, 0.02},    {2.0, 0.95, 0.04},
            {2.22, 1.45, 0.04},   {2.3, 2.0, 0.035},    {2.26, 2.55, 0.025},
            {2.18, 2.9},          {2.22, 3.0},          {2.4, 3.08},
            {2.46, 3.18},         {2.46, 3.3},          {2.4, 3.38},
            {2.28, 3.42},         {2.08, 3.42},         {1.98, 3.38},
            {1.93, 3.3},          {1.95, 3.1},          {1.96, 2.6},
            {1.9, 1.9},           {1.78, 1.35},         {wall + 0.02, floor + 0.2},
            {wall, floor + 0.06}, {wall - 0.05, floor}, {1.0, floor},
            {0.0, floor}};
}

} // namespace

std::vector<ThreeDsWriter::Material> StoneCupModel::materials() {
    return {{"Granite", {70, 64, 64}, {230, 225, 222}, {180, 180, 180}, 70, "granite.bmp"}};
}

std::vector<ThreeDsWriter::Mesh> StoneCupModel::meshes() {
    MeshBuilder cup("StoneCup");
    cup.addSweep(MeshBuilder::Outline::circle(80, 16), cupProfile(), {}, 4.0, 0.45);
    return {cup.toMesh("Granite")};
}

std::vector<std::uint8_t> StoneCupModel::file() {
    return ThreeDsWriter::scene(materials(), meshes());
}

} // namespace velmorra::tools
