#include "render/TexManager.h"
#include "scene/MeshElement.h"
#include "scene/Object.h"
#include "scene/ThreeDsLoader.h"
#include "support/GlTestContext.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

namespace velmorra {
namespace {

struct Bounds {
    float lowest = 1e9f;
    float highest = -1e9f;
    float widest = 0.0f; // from the y axis
    int floorVertices = 0;
};

// Loads a committed model the way the demo does: from inside data/, so the
// texture names in the file resolve, on a real GL context.
class ModelLoadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        logDirectory = std::filesystem::current_path();
        std::filesystem::current_path(std::string(VELMORRA_SOURCE_DIR) + "/data");
    }
    void TearDown() override {
        object.reset();
        std::filesystem::current_path(logDirectory);
        EXPECT_EQ(TexManager::instance().size(), 0u);
    }

    bool load(const char* fileName) {
        object = std::make_unique<Object>();
        return ThreeDsLoader().load(fileName, object.get());
    }
    const MeshElement& mesh(int index) const {
        return *static_cast<const MeshElement*>(object->getElement(index));
    }
    Bounds bounds(float floorHeight) const {
        Bounds b;
        for (int i = 0; i < object->getElementCount(); ++i) {
            for (const Vector3& v : mesh(i).getVertices()) {
                b.lowest = std::min(b.lowest, v.y);
                b.highest = std::max(b.highest, v.y);
                b.widest = std::max(b.widest, std::hypot(v.x, v.z));
                b.floorVertices += std::fabs(v.y - floorHeight) < 1e-5f ? 1 : 0;
            }
        }
        return b;
    }
    void expectEveryMeshBuiltAndTextured() const {
        for (int i = 0; i < object->getElementCount(); ++i) {
            EXPECT_TRUE(mesh(i).isBuilt()) << i;
            EXPECT_TRUE(mesh(i).getMaterial().getTexture(0).isLoaded()) << i;
            EXPECT_GT(mesh(i).getMaterial().getDiffuse().r, 0.5f) << i;
        }
    }

    test::GlTestContext context;
    test::LogCapture log;
    std::filesystem::path logDirectory;
    std::unique_ptr<Object> object;
};

TEST_F(ModelLoadTest, TheFountainLoadsAsEightTexturedMeshes) {
    VELMORRA_REQUIRE_GL(context);
    ASSERT_TRUE(load("scene.3ds"));
    ASSERT_EQ(object->getElementCount(), 8);
    expectEveryMeshBuiltAndTextured();
    // The basin is marble: diffuse (235, 232, 226).
    EXPECT_FLOAT_EQ(mesh(0).getMaterial().getDiffuse().g, 232.0f / 255.0f);
    EXPECT_EQ(TexManager::instance().size(), 3u); // marble, sandstone, basalt, each once
    const Bounds b = bounds(-1.1f);
    EXPECT_GT(b.floorVertices, 0);
    EXPECT_LE(b.widest, 4.0f);
    EXPECT_LT(b.highest, -0.5f);
    EXPECT_GE(b.lowest, -2.61f);
    const std::string text = log.text();
    EXPECT_NE(text.find("Found 8 objects.\n"), std::string::npos);
    EXPECT_NE(text.find("Texture: marble.bmp\n"), std::string::npos);
    EXPECT_EQ(text.find("Error"), std::string::npos);
}

TEST_F(ModelLoadTest, TheCupLoadsWithItsFloorAndRimWhereTheLiquidNeedsThem) {
    VELMORRA_REQUIRE_GL(context);
    ASSERT_TRUE(load("stonecup.3ds"));
    ASSERT_EQ(object->getElementCount(), 1);
    expectEveryMeshBuiltAndTextured();
    const Bounds b = bounds(0.8f);
    EXPECT_GT(b.floorVertices, 0);
    EXPECT_LE(b.widest, 2.5f);
    EXPECT_GE(b.highest, 3.0f);
    EXPECT_LE(b.highest, 3.5f);
    EXPECT_FLOAT_EQ(b.lowest, 0.0f);
    for (const Vector3& v : mesh(0).getVertices()) {
        const bool aboveFloor = v.y > 0.8f + 1e-5f;
        ASSERT_FALSE(aboveFloor && std::fabs(v.x) <= 1.1f && std::fabs(v.z) <= 1.1f);
    }
    EXPECT_EQ(log.text().find("Error"), std::string::npos);
}

} // namespace
} // namespace velmorra
