// Point parameters (GL 1.4) come from the extension header, before anything includes GL.
#define GL_GLEXT_PROTOTYPES
#include "demo/Starfield.h"
#include "math/Random.h"
#include "render/BmpBuilder.h"
#include "render/TexManager.h"
#include "scene/GlBaseline.h"
#include "support/GlTestContext.h"
#include "support/TempDirectory.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <memory>
#include <vector>

namespace velmorra {
namespace {

constexpr float viewHalf = 60.0f;
constexpr int viewSize = 600;

struct FedVertex {
    Vector3 position;
    float grey = 0.0f;
    float s = 0.0f;
    float t = 0.0f;
};

// What a render sends down the pipeline, caught in feedback mode through an
// orthographic view of +-60 units, so that nothing of a ball of radius 50 is
// clipped and window coordinates convert straight back to world ones.
struct Feedback {
    std::vector<FedVertex> points;
    std::vector<std::vector<FedVertex>> polygons;
};

FedVertex readVertex(const std::vector<GLfloat>& buffer, std::size_t& at) {
    const auto toWorld = [](float window) {
        return (window / (viewSize / 2.0f) - 1.0f) * viewHalf;
    };
    FedVertex vertex;
    vertex.position = {toWorld(buffer[at]), toWorld(buffer[at + 1]),
                       -(2.0f * buffer[at + 2] - 1.0f) * viewHalf};
    vertex.grey = buffer[at + 3];
    vertex.s = buffer[at + 7];
    vertex.t = buffer[at + 8];
    at += 11; // x y z, r g b a, s t r q
    return vertex;
}

Feedback capture(Starfield& stars) {
    glViewport(0, 0, viewSize, viewSize);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-viewHalf, viewHalf, -viewHalf, viewHalf, -viewHalf, viewHalf);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // Culling would depend on this view, not on the viewer at the origin.
    glDisable(GL_CULL_FACE);
    std::vector<GLfloat> buffer(200000);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    stars.render();
    const GLint used = glRenderMode(GL_RENDER);
    glEnable(GL_CULL_FACE);
    Feedback feedback;
    for (std::size_t at = 0; at < static_cast<std::size_t>(std::max(used, 0));) {
        const auto token = static_cast<GLint>(buffer[at++]);
        if (token == GL_POINT_TOKEN) {
            feedback.points.push_back(readVertex(buffer, at));
        } else if (token == GL_POLYGON_TOKEN) {
            const auto count = static_cast<int>(buffer[at++]);
            std::vector<FedVertex> polygon;
            for (int i = 0; i < count; ++i) {
                polygon.push_back(readVertex(buffer, at));
            }
            feedback.polygons.push_back(polygon);
        } else {
            ADD_FAILURE() << "unexpected feedback token " << token;
            break;
        }
    }
    return feedback;
}

float distance(const Vector3& a, const Vector3& b) {
    return static_cast<float>(length(difference(a, b)));
}

class StarfieldTest : public testing::Test {
  protected:
    void SetUp() override {
        if (gl.isReady()) {
            test::setRendererBaseline();
        }
        test::BmpBuilder::solid(8, 8, {40, 80, 120}).writeTo("atlas.bmp");
    }
    void TearDown() override { EXPECT_EQ(TexManager::instance().size(), 0u); }

    test::GlTestContext gl;
    test::LogCapture log;
};

// Distance attenuation scales every star eightfold, so that the three point sizes are told apart
// by the pixels they cover, about pi (4 size)^2: of eight stars, the first two (a quarter) are
// drawn at size 2, the next two at 1.5 and the last four at 1.
TEST_F(StarfieldTest, AQuarterOfTheStarsAreDrawnAtSize2AQuarterAt1Point5AndHalfAt1) {
    Random random;
    VELMORRA_REQUIRE_GL(gl);
    random.seed(11);
    const std::vector<Starfield::Star> places = Starfield::generateStars(50.0f, 1.0f, 8, random);
    random.seed(11);
    Starfield stars;
    stars.build(50.0f, 1.0f, 8, nullptr, 1.0f, random);
    glViewport(0, 0, viewSize, viewSize);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-viewHalf, viewHalf, -viewHalf, viewHalf, -viewHalf, viewHalf);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const GLfloat eightfold[3] = {1.0f / 64.0f, 0.0f, 0.0f};
    glPointParameterfv(GL_POINT_DISTANCE_ATTENUATION, eightfold);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    stars.render();
    std::vector<std::uint8_t> pixels = gl.readPixels();
    const float pixelsPerUnit = viewSize / (2.0f * viewHalf);
    const float sizes[8] = {2.0f, 2.0f, 1.5f, 1.5f, 1.0f, 1.0f, 1.0f, 1.0f};
    for (std::size_t index = 0; index < places.size(); ++index) {
        const Vector3& place = places[index].position;
        const int column = static_cast<int>((place.x + viewHalf) * pixelsPerUnit);
        const int row = static_cast<int>((place.y + viewHalf) * pixelsPerUnit);
        int covered = 0;
        for (int y = row - 10; y <= row + 10; ++y) {
            for (int x = column - 10; x <= column + 10; ++x) {
                covered += gl.pixelAt(pixels, x, y)[0] != 0;
            }
        }
        const float radius = 4.0f * sizes[index];
        EXPECT_NEAR(covered, 3.14159f * radius * radius, 0.2f * 3.14159f * radius * radius)
            << "star " << index;
    }
}

// Seed 1 gives the draws 346, 130, 982, 90 for the first star and 656, 117,
// 595, 415 for the second: distance, azimuth, elevation, grey.
TEST_F(StarfieldTest, StarsComeFromTheDrawsInOrder) {
    Random random;
    VELMORRA_REQUIRE_GL(gl);
    random.seed(1);
    Starfield stars;
    stars.build(50.0f, 1.0f, 2, nullptr, 1.0f, random);
    const Feedback feedback = capture(stars);
    ASSERT_EQ(feedback.points.size(), 2u);
    EXPECT_TRUE(feedback.polygons.empty());
    const FedVertex& first = feedback.points[0];
    EXPECT_NEAR(first.position.x, -6.3916f, 0.01f);
    EXPECT_NEAR(first.position.y, 33.8501f, 0.01f);
    EXPECT_NEAR(first.position.z, -6.8063f, 0.01f);
    EXPECT_NEAR(first.grey, 0.0081f, 1e-4f);
    const FedVertex& second = feedback.points[1];
    EXPECT_NEAR(second.position.x, -31.6423f, 0.01f);
    EXPECT_NEAR(second.position.y, 8.2557f, 0.01f);
    EXPECT_NEAR(second.position.z, -28.6111f, 0.01f);
    EXPECT_NEAR(second.grey, 0.1722f, 1e-4f);
}

TEST_F(StarfieldTest, TenThousandStarsFillTheBallAndStayBelowFullGrey) {
    Random random;
    VELMORRA_REQUIRE_GL(gl);
    random.seed(99);
    Starfield stars;
    stars.build(50.0f, 1.0f, 10000, nullptr, 1.0f, random);
    const Feedback feedback = capture(stars);
    ASSERT_EQ(feedback.points.size(), 10000u);
    int faint = 0;
    for (const FedVertex& star : feedback.points) {
        EXPECT_LE(length(star.position), 50.01);
        EXPECT_LE(star.grey, 0.9981f);
        faint += star.grey < 0.25f ? 1 : 0;
    }
    EXPECT_NEAR(faint, 5000, 300);
}

TEST_F(StarfieldTest, BuildTakesItsDrawsOnceOnly) {
    Random random;
    VELMORRA_REQUIRE_GL(gl);
    random.seed(5);
    Random expected(5);
    for (int i = 0; i < 10 * 4 + 16 * 2; ++i) {
        expected.next();
    }
    Starfield stars;
    stars.build(50.0f, 1.0f, 10, "atlas.bmp", 1.0f, random);
    Random afterFirst = random;
    EXPECT_EQ(afterFirst.next(), expected.next());

    random.seed(5);
    stars.build(50.0f, 1.0f, 10, "atlas.bmp", 1.0f, random);
    Random untouched(5);
    EXPECT_EQ(random.next(), untouched.next());
    EXPECT_EQ(TexManager::instance().size(), 1u);
    EXPECT_EQ(capture(stars).points.size(), 10u);
}

// The corners of one sprite, in the order they were given: P, P + U,
// P + U + V, P + V.
using SpriteCorners = std::array<FedVertex, 4>;

// The implementation may feed a quad back as one polygon or as triangles;
// the texture coordinates say which cell, and which corner of it, a vertex is.
std::map<std::pair<int, int>, SpriteCorners> spritesByCell(const Feedback& feedback) {
    std::map<std::pair<int, int>, SpriteCorners> sprites;
    for (const auto& polygon : feedback.polygons) {
        float lowS = 1.0f;
        float lowT = 1.0f;
        for (const FedVertex& vertex : polygon) {
            lowS = std::min(lowS, vertex.s);
            lowT = std::min(lowT, vertex.t);
        }
        const std::pair<int, int> cell{static_cast<int>(std::lround(lowS * 4.0f)),
                                       static_cast<int>(std::lround(lowT * 4.0f))};
        for (const FedVertex& vertex : polygon) {
            const bool right = vertex.s > cell.first / 4.0f + 0.01f;
            const bool up = vertex.t > cell.second / 4.0f + 0.01f;
            const int corner = up ? (right ? 2 : 3) : (right ? 1 : 0);
            sprites[cell][static_cast<std::size_t>(corner)] = vertex;
        }
    }
    return sprites;
}

// Seen from the origin the corners run counter-clockwise: the face's normal
// points back at the viewer, so back-face culling keeps it.
bool facesTheOrigin(const SpriteCorners& sprite) {
    const Vector3 normal = cross(difference(sprite[1].position, sprite[0].position),
                                 difference(sprite[2].position, sprite[0].position));
    return dot(normal, sprite[0].position) < 0.0f;
}

// Sixteen squares of the sprite size with a corner on the ball's surface, one
// per atlas cell, each facing the viewer.
TEST_F(StarfieldTest, SpritesAreSixteenAtlasCellsFacingTheViewer) {
    Random random;
    VELMORRA_REQUIRE_GL(gl);
    random.seed(3);
    Starfield stars;
    stars.build(50.0f, 1.0f, 0, "atlas.bmp", 2.0f, random);
    const auto sprites = spritesByCell(capture(stars));
    ASSERT_EQ(sprites.size(), 16u);
    for (const auto& [cell, sprite] : sprites) {
        SCOPED_TRACE(testing::Message() << cell.first << ", " << cell.second);
        EXPECT_NEAR(length(sprite[0].position), 50.0, 0.02);
        EXPECT_NEAR(distance(sprite[0].position, sprite[1].position), 2.0f, 0.02f);
        EXPECT_NEAR(distance(sprite[1].position, sprite[2].position), 2.0f, 0.02f);
        EXPECT_NEAR(distance(sprite[2].position, sprite[3].position), 2.0f, 0.02f);
        EXPECT_NEAR(distance(sprite[0].position, sprite[2].position), 2.0f * std::sqrt(2.0f),
                    0.02f);
        EXPECT_TRUE(facesTheOrigin(sprite));
    }
}

// Seed 710 makes the first sprite's azimuth draw exactly 500: its corner lies
// in the z = 0 plane, where the usual edge construction would divide by zero.
TEST_F(StarfieldTest, SpriteInTheZeroPlaneIsStillASquare) {
    Random random;
    VELMORRA_REQUIRE_GL(gl);
    random.seed(710);
    Starfield stars;
    stars.build(50.0f, 1.0f, 0, "atlas.bmp", 1.0f, random);
    const auto sprites = spritesByCell(capture(stars));
    ASSERT_EQ(sprites.size(), 16u);
    const SpriteCorners& sprite = sprites.at({0, 0});
    EXPECT_NEAR(sprite[0].position.z, 0.0f, 0.01f);
    EXPECT_NEAR(length(sprite[0].position), 50.0, 0.02);
    EXPECT_NEAR(distance(sprite[0].position, sprite[1].position), 1.0f, 0.02f);
    EXPECT_NEAR(distance(sprite[0].position, sprite[3].position), 1.0f, 0.02f);
    EXPECT_NEAR(distance(sprite[0].position, sprite[2].position), std::sqrt(2.0f), 0.02f);
    EXPECT_TRUE(facesTheOrigin(sprite));
}

TEST_F(StarfieldTest, RenderRestoresTheStatesItChanges) {
    Random random;
    VELMORRA_REQUIRE_GL(gl);
    Starfield stars;
    stars.build(50.0f, 1.0f, 100, "atlas.bmp", 1.0f, random);
    stars.render();
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(depthWrites);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
    EXPECT_FALSE(glIsEnabled(GL_POINT_SMOOTH));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(test::integerState(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(test::integerState(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_EQ(test::textureEnvironmentMode(), GL_MODULATE);
    GLfloat pointSize = 0.0f;
    glGetFloatv(GL_POINT_SIZE, &pointSize);
    EXPECT_EQ(pointSize, 1.0f);
    // Texturing is left as binding the atlas left it.
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(StarfieldTest, WithoutASpriteFileThereAreOnlyPoints) {
    Random random;
    VELMORRA_REQUIRE_GL(gl);
    Starfield stars;
    stars.build(50.0f, 1.0f, 100, nullptr, 1.0f, random);
    EXPECT_EQ(TexManager::instance().size(), 0u);
    glBlendFunc(GL_ONE, GL_ZERO);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    stars.render();
    EXPECT_EQ(test::integerState(GL_BLEND_SRC), GL_ONE);
    EXPECT_EQ(test::integerState(GL_BLEND_DST), GL_ZERO);
    EXPECT_EQ(test::textureEnvironmentMode(), GL_REPLACE);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    const Feedback feedback = capture(stars);
    EXPECT_EQ(feedback.points.size(), 100u);
    EXPECT_TRUE(feedback.polygons.empty());
    EXPECT_EQ(log.text(), "");
}

TEST_F(StarfieldTest, UnreadableAtlasGivesUntexturedSprites) {
    Random random;
    VELMORRA_REQUIRE_GL(gl);
    Starfield stars;
    stars.build(50.0f, 1.0f, 10, "missing.bmp", 1.0f, random);
    stars.render();
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(spritesByCell(capture(stars)).size(), 16u);
    EXPECT_EQ(log.text(), "Loading texture file: missing.bmp\nError: could not open file!\n\n");
}

TEST_F(StarfieldTest, DestructionGivesTheAtlasBack) {
    VELMORRA_REQUIRE_GL(gl);
    auto stars = std::make_unique<Starfield>();
    Random random;
    stars->build(50.0f, 1.0f, 10, "atlas.bmp", 1.0f, random);
    EXPECT_EQ(TexManager::instance().size(), 1u);
    stars.reset();
    EXPECT_EQ(TexManager::instance().size(), 0u);
    EXPECT_NE(log.text().find("Deleted texture atlas.bmp\n"), std::string::npos);
}

TEST(StarfieldUnbuilt, RendersNothingAndChangesNoState) {
    test::GlTestContext gl;
    VELMORRA_REQUIRE_GL(gl);
    test::setRendererBaseline();
    Starfield stars;
    stars.render();
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(stars.update(), 0);
}

} // namespace
} // namespace velmorra
