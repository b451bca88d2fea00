#include "render/Material.h"
#include "render/BmpBuilder.h"
#include "render/TexManager.h"
#include "render/Texture.h"
#include "support/GlTestContext.h"
#include "support/TempDirectory.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <string>

namespace velmorra {
namespace {

using test::BmpBuilder;

GLint boundTexture() {
    GLint name = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    return name;
}

int references(const Texture& texture) {
    return TexManager::instance().referenceCount(texture.getTextureName());
}

std::array<GLfloat, 4> materialColor(GLenum face, GLenum parameter) {
    std::array<GLfloat, 4> values{};
    glGetMaterialfv(face, parameter, values.data());
    return values;
}

// Texture and Material go through the process-wide cache; every test gives
// back what it took, so the cache is empty between tests.
class TextureTest : public testing::Test {
  protected:
    void SetUp() override {
        BmpBuilder::solid(2, 2, {255, 0, 0}).writeTo("red.bmp");
        BmpBuilder::solid(2, 2, {0, 0, 255}).writeTo("blue.bmp");
    }
    void TearDown() override { EXPECT_EQ(TexManager::instance().size(), 0u); }

    test::GlTestContext gl;
    test::LogCapture log;
};

TEST_F(TextureTest, BindTurnsTexturingOnForALoadedHandleAndOffForAnEmptyOne) {
    VELMORRA_REQUIRE_GL(gl);
    Texture empty;
    glEnable(GL_TEXTURE_2D);
    empty.bind();
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));

    Texture red;
    ASSERT_TRUE(red.load("red.bmp", 1));
    glBindTexture(GL_TEXTURE_2D, 0);
    red.bind();
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(boundTexture(), red.getTextureName());
}

TEST_F(TextureTest, RefusesASecondLoadWithoutTakingAReference) {
    VELMORRA_REQUIRE_GL(gl);
    Texture texture;
    ASSERT_TRUE(texture.load("red.bmp", 1));
    const int name = texture.getTextureName();
    EXPECT_FALSE(texture.load("blue.bmp", 1));
    EXPECT_FALSE(texture.load("red.bmp", 1));
    EXPECT_EQ(texture.getTextureName(), name);
    EXPECT_EQ(references(texture), 1);
    EXPECT_EQ(TexManager::instance().size(), 1u);

    texture.release();
    EXPECT_FALSE(texture.isLoaded());
    EXPECT_FALSE(glIsTexture(static_cast<GLuint>(name)));
    texture.release(); // harmless
    EXPECT_TRUE(texture.load("blue.bmp", 1));
}

TEST_F(TextureTest, UnreadableFileLeavesTheHandleEmpty) {
    VELMORRA_REQUIRE_GL(gl);
    Texture texture;
    EXPECT_FALSE(texture.load("missing.bmp", 1));
    EXPECT_FALSE(texture.isLoaded());
    EXPECT_NE(log.text().find("Error: could not open file!\n\n"), std::string::npos);
}

TEST_F(TextureTest, CopiesHoldTheirOwnReferences) {
    VELMORRA_REQUIRE_GL(gl);
    auto original = std::make_unique<Texture>();
    ASSERT_TRUE(original->load("red.bmp", 1));
    const int name = original->getTextureName();
    Texture copy(*original);
    EXPECT_EQ(copy.getTextureName(), name);
    EXPECT_EQ(references(copy), 2);
    original.reset();
    EXPECT_TRUE(glIsTexture(static_cast<GLuint>(name)));
    copy.bind();
    EXPECT_EQ(boundTexture(), name);
    copy.release();
    EXPECT_FALSE(glIsTexture(static_cast<GLuint>(name)));
}

TEST_F(TextureTest, AssignmentGivesTheOverwrittenReferenceBack) {
    VELMORRA_REQUIRE_GL(gl);
    Texture red;
    Texture blue;
    ASSERT_TRUE(red.load("red.bmp", 1));
    ASSERT_TRUE(blue.load("blue.bmp", 1));
    const int redName = red.getTextureName();
    red = blue;
    EXPECT_FALSE(glIsTexture(static_cast<GLuint>(redName)));
    EXPECT_EQ(references(blue), 2);

    Texture& alias = red;
    red = alias; // self-assignment keeps the one reference
    EXPECT_EQ(references(blue), 2);
    Texture empty;
    red = empty;
    EXPECT_FALSE(red.isLoaded());
    EXPECT_EQ(references(blue), 1);
    EXPECT_NE(log.text().find("Deleted texture red.bmp\n"), std::string::npos);
}

TEST_F(TextureTest, MaterialGivingBackTheLastReferenceDeletesTheTexture) {
    VELMORRA_REQUIRE_GL(gl);
    auto material = std::make_unique<Material>();
    ASSERT_TRUE(material->loadTexture("red.bmp", 2));
    EXPECT_FALSE(material->loadTexture("blue.bmp", 2));
    const int name = material->getTexture(0).getTextureName();
    glDisable(GL_TEXTURE_2D);
    material->bindTexture();
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(boundTexture(), name);

    material.reset();
    EXPECT_FALSE(glIsTexture(static_cast<GLuint>(name)));
    EXPECT_NE(log.text().find("Deleted texture red.bmp\n"), std::string::npos);
}

TEST_F(TextureTest, MaterialCopiesShareTexturesSafely) {
    VELMORRA_REQUIRE_GL(gl);
    auto original = std::make_unique<Material>();
    original->setDiffuse(0.1f, 0.2f, 0.3f, 0.4f);
    ASSERT_TRUE(original->loadTexture("red.bmp", 1));
    const int name = original->getTexture(0).getTextureName();

    Material target;
    ASSERT_TRUE(target.loadTexture("blue.bmp", 1));
    target = *original; // the blue texture is given back
    EXPECT_EQ(TexManager::instance().size(), 1u);
    EXPECT_EQ(target.getDiffuse().b, 0.3f);
    EXPECT_EQ(references(target.getTexture(0)), 2);

    original.reset();
    target.bindTexture();
    EXPECT_EQ(boundTexture(), name);
    target.releaseTextures();
    EXPECT_FALSE(glIsTexture(static_cast<GLuint>(name)));
    EXPECT_FALSE(target.getTexture(0).isLoaded());
}

TEST_F(TextureTest, EmptyMaterialBindsNoTexture) {
    VELMORRA_REQUIRE_GL(gl);
    Material material;
    glEnable(GL_TEXTURE_2D);
    material.bindTexture();
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST(Material, Defaults) {
    const Material material;
    EXPECT_EQ(material.getShininess(), 10.0f);
    EXPECT_EQ(material.getTransparency(), -1.0f);
    EXPECT_EQ(material.getSpareLevel(), -1.0f);
    EXPECT_TRUE(material.isOpaque());
    for (int slot = 0; slot < Material::textureSlots; ++slot) {
        EXPECT_FALSE(material.getTexture(slot).isLoaded());
    }
    Color color;
    EXPECT_EQ(color.r + color.g + color.b + color.a, 4.0f);
}

TEST(MaterialApply, DefaultMaterialSetsTheGlMaterialOfBothFaces) {
    test::GlTestContext gl;
    VELMORRA_REQUIRE_GL(gl);
    // Disturb every value first so that the checks see what apply wrote.
    const GLfloat junk[4] = {0.5f, 0.5f, 0.5f, 0.5f};
    for (GLenum parameter : {GL_AMBIENT, GL_DIFFUSE, GL_SPECULAR, GL_EMISSION}) {
        glMaterialfv(GL_FRONT_AND_BACK, parameter, junk);
    }
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 99.0f);

    Material().apply();
    for (GLenum face : {GL_FRONT, GL_BACK}) {
        using Rgba = std::array<GLfloat, 4>;
        EXPECT_EQ(materialColor(face, GL_AMBIENT), (Rgba{0.2f, 0.2f, 0.2f, 1.0f}));
        EXPECT_EQ(materialColor(face, GL_DIFFUSE), (Rgba{0.8f, 0.8f, 0.8f, 1.0f}));
        EXPECT_EQ(materialColor(face, GL_SPECULAR), (Rgba{0.0f, 0.0f, 0.0f, 1.0f}));
        EXPECT_EQ(materialColor(face, GL_EMISSION), (Rgba{0.0f, 0.0f, 0.0f, 1.0f}));
        GLfloat shininess = 0.0f;
        glGetMaterialfv(face, GL_SHININESS, &shininess);
        EXPECT_EQ(shininess, 10.0f);
    }
}

TEST(MaterialApply, SetColoursReachGl) {
    test::GlTestContext gl;
    VELMORRA_REQUIRE_GL(gl);
    Material material;
    material.setAmbient(0.1f, 0.2f, 0.3f, 0.4f);
    material.setDiffuse(0.5f, 0.6f, 0.7f, 0.8f);
    material.setSpecular(0.9f, 1.0f, 0.25f, 0.5f);
    material.setEmission(0.75f, 0.125f, 0.0f, 1.0f);
    material.setShininess(64.0f);
    material.apply();
    using Rgba = std::array<GLfloat, 4>;
    EXPECT_EQ(materialColor(GL_BACK, GL_AMBIENT), (Rgba{0.1f, 0.2f, 0.3f, 0.4f}));
    EXPECT_EQ(materialColor(GL_FRONT, GL_DIFFUSE), (Rgba{0.5f, 0.6f, 0.7f, 0.8f}));
    EXPECT_EQ(materialColor(GL_FRONT, GL_SPECULAR), (Rgba{0.9f, 1.0f, 0.25f, 0.5f}));
    EXPECT_EQ(materialColor(GL_BACK, GL_EMISSION), (Rgba{0.75f, 0.125f, 0.0f, 1.0f}));
    GLfloat shininess = 0.0f;
    glGetMaterialfv(GL_BACK, GL_SHININESS, &shininess);
    EXPECT_EQ(shininess, 64.0f);
}

} // namespace
} // namespace velmorra
