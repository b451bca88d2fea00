#include "content/AltarModel.h"
#include "content/StoneCupModel.h"
#include "render/Image.h"
#include "tools/ChunkTree.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

namespace velmorra {
namespace {

using test::Chunk;
using test::ChunkTree;

struct Point {
    double x, y, z;
    double radius() const { return std::hypot(x, z); }
};

struct ReadMesh {
    std::string name;
    std::vector<Point> points; // scene axes
    int faces = 0;
    std::string material;
};

struct ReadModel {
    std::vector<ReadMesh> meshes;
    std::vector<std::string> materialNames;
    std::vector<std::string> textures;

    std::vector<Point> allPoints() const {
        std::vector<Point> all;
        for (const ReadMesh& mesh : meshes) {
            all.insert(all.end(), mesh.points.begin(), mesh.points.end());
        }
        return all;
    }
    int faceCount() const {
        int n = 0;
        for (const ReadMesh& mesh : meshes) {
            n += mesh.faces;
        }
        return n;
    }
};

// Reads the model back from its chunks, turning the file's z-up axes into the
// scene's as the demo's loader does: (x, y, z) becomes (x, z, -y).
ReadModel readModel(const std::vector<std::uint8_t>& bytes) {
    const ChunkTree tree(bytes);
    EXPECT_TRUE(tree.isConsistent());
    ReadModel model;
    if (!tree.isConsistent() || tree.top().empty() || tree.top()[0].id != 0x4D4D) {
        return model;
    }
    const Chunk* editor = tree.top()[0].find(0x3D3D);
    for (const Chunk& child : editor->children) {
        if (child.id == 0x4000) {
            ReadMesh mesh;
            mesh.name = tree.name(child.dataOffset);
            const Chunk* triangles = child.find(0x4100);
            const Chunk* vertices = triangles->find(0x4110);
            const int count = tree.u16(vertices->dataOffset);
            for (int i = 0; i < count; ++i) {
                const std::size_t at = vertices->dataOffset + 2 + 12 * static_cast<std::size_t>(i);
                mesh.points.push_back({tree.f32(at), tree.f32(at + 8), -tree.f32(at + 4)});
            }
            const Chunk* faces = triangles->find(0x4120);
            mesh.faces = tree.u16(faces->dataOffset);
            mesh.material = tree.name(faces->find(0x4130)->dataOffset);
            model.meshes.push_back(mesh);
        } else if (child.id == 0xAFFF) {
            model.materialNames.push_back(tree.name(child.find(0xA000)->dataOffset));
            if (const Chunk* map = child.find(0xA200)) {
                model.textures.push_back(tree.name(map->find(0xA300)->dataOffset));
            }
        }
    }
    return model;
}

void expectTexturesAreCommittedPictures(const ReadModel& model) {
    for (const std::string& texture : model.textures) {
        Image image;
        ASSERT_TRUE(image.load(std::string(VELMORRA_SOURCE_DIR) + "/data/" + texture)) << texture;
        EXPECT_GE(image.getWidth(), 256) << texture;
        EXPECT_GE(image.getHeight(), 256) << texture;
    }
}

void expectEveryMeshNamesAKnownMaterial(const ReadModel& model) {
    const std::set<std::string> known(model.materialNames.begin(), model.materialNames.end());
    for (const ReadMesh& mesh : model.meshes) {
        EXPECT_EQ(known.count(mesh.material), 1u) << mesh.name;
    }
}

TEST(ModelShapeTest, TheFountainHasSeveralTexturedMeshesAndAFewThousandTriangles) {
    const ReadModel model = readModel(tools::AltarModel::file());
    EXPECT_EQ(model.meshes.size(), 8u);
    EXPECT_EQ(model.materialNames.size(), 3u);
    EXPECT_EQ(model.textures.size(), 3u);
    EXPECT_GT(model.faceCount(), 3000);
    EXPECT_LT(model.faceCount(), 12000);
    expectEveryMeshNamesAKnownMaterial(model);
    expectTexturesAreCommittedPictures(model);
}

// The stream lands on the basin floor, y = -1.1 over x, z in [-1.5, 1.5]: the
// floor reaches past that square and nothing stands in the liquid's space above it.
TEST(ModelShapeTest, TheBasinFloorReceivesTheStream) {
    const ReadModel model = readModel(tools::AltarModel::file());
    double floorReach = 0.0;
    for (const Point& p : model.allPoints()) {
        if (std::fabs(p.y + 1.1) < 1e-5) {
            floorReach = std::max(floorReach, std::min(std::fabs(p.x), std::fabs(p.z)));
        }
        const bool aboveFloor = p.y > -1.1 + 1e-5;
        const bool overLiquid = std::fabs(p.x) <= 1.5 && std::fabs(p.z) <= 1.5;
        EXPECT_FALSE(aboveFloor && overLiquid) << p.x << " " << p.y << " " << p.z;
    }
    EXPECT_GT(floorReach, 1.5);
}

// The camera circles at distance 5, eye height 0: everything outside the
// liquid's square stays below its line of sight to the middle of the floor,
// and the whole model inside a radius of 4.
TEST(ModelShapeTest, TheFountainStaysLowAndWithinRadiusFour) {
    const ReadModel model = readModel(tools::AltarModel::file());
    double highest = -100.0;
    for (const Point& p : model.allPoints()) {
        EXPECT_LE(p.radius(), 4.0);
        if (p.radius() > 1.5) {
            EXPECT_LT(p.y, -1.1 * (1.0 - p.radius() / 5.0)) << p.x << " " << p.y << " " << p.z;
        }
        highest = std::max(highest, p.y);
    }
    EXPECT_LT(highest, -0.5);
}

TEST(ModelShapeTest, TheCupIsOneTexturedLathedMesh) {
    const ReadModel model = readModel(tools::StoneCupModel::file());
    ASSERT_EQ(model.meshes.size(), 1u);
    EXPECT_EQ(model.textures, std::vector<std::string>{"granite.bmp"});
    EXPECT_GT(model.faceCount(), 3000);
    EXPECT_LT(model.faceCount(), 12000);
    expectEveryMeshNamesAKnownMaterial(model);
    expectTexturesAreCommittedPictures(model);
}

// Lowered by 3, the cup's inner floor (y = 0.8) is the liquid's floor and its
// inside holds the liquid's square |x|, |z| <= 1.1 at every height.
TEST(ModelShapeTest, TheCupHoldsTheLiquidsSquare) {
    const ReadModel model = readModel(tools::StoneCupModel::file());
    double floorReach = 0.0, widest = 0.0, rim = 0.0;
    for (const Point& p : model.allPoints()) {
        if (std::fabs(p.y - 0.8) < 1e-5) {
            floorReach = std::max(floorReach, p.radius());
        }
        const bool aboveFloor = p.y > 0.8 + 1e-5;
        const bool overLiquid = std::fabs(p.x) <= 1.1 && std::fabs(p.z) <= 1.1;
        EXPECT_FALSE(aboveFloor && overLiquid) << p.x << " " << p.y << " " << p.z;
        if (aboveFloor) {
            EXPECT_GT(p.radius(), 1.1 * std::sqrt(2.0) + 0.02);
        }
        widest = std::max(widest, p.radius());
        rim = std::max(rim, p.y);
    }
    EXPECT_GT(floorReach, 1.1 * std::sqrt(2.0));
    EXPECT_LE(widest, 2.5);
    EXPECT_GE(rim, 3.0);
    EXPECT_LE(rim, 3.5);
}

} // namespace
} // namespace velmorra
