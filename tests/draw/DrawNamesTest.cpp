#include "draw/Features.h"
#include "draw/Lighting.h"
#include "draw/Matrices.h"
#include "draw/RasterState.h"
#include "draw/Textures.h"
#include "support/GlTestContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace velmorra {
namespace {

using test::glInteger;

// Each name of the layer reaches GL as the GL name it stands for: a slip in one of the
// translation tables would otherwise show only in some picture, if at all.
TEST(DrawNames, FeaturesSwitchTheirGlCapability) {
    test::GlTestContext gl;
    VELMORRA_REQUIRE_GL(gl);
    using draw::Feature;
    const std::vector<std::pair<Feature, GLenum>> table = {
        {Feature::depthTest, GL_DEPTH_TEST},
        {Feature::lighting, GL_LIGHTING},
        {Feature::cullFace, GL_CULL_FACE},
        {Feature::blending, GL_BLEND},
        {Feature::texturing, GL_TEXTURE_2D},
        {Feature::texGenS, GL_TEXTURE_GEN_S},
        {Feature::texGenT, GL_TEXTURE_GEN_T},
        {Feature::polygonSmooth, GL_POLYGON_SMOOTH},
        {Feature::lineSmooth, GL_LINE_SMOOTH},
        {Feature::pointSmooth, GL_POINT_SMOOTH},
        {Feature::colorMaterial, GL_COLOR_MATERIAL},
        {Feature::normalize, GL_NORMALIZE},
        {Feature::fog, GL_FOG}};
    for (const auto& [feature, capability] : table) {
        draw::enable(feature);
        EXPECT_TRUE(glIsEnabled(capability)) << capability;
        draw::disable(feature);
        EXPECT_FALSE(glIsEnabled(capability)) << capability;
    }
    draw::enableLight(5);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT5));
}

TEST(DrawNames, StateSettersSetTheirGlValue) {
    test::GlTestContext gl;
    VELMORRA_REQUIRE_GL(gl);
    using namespace draw;
    const std::vector<std::pair<void (*)(), std::pair<GLenum, GLint>>> table = {
        {[] { blendFunction(BlendFactor::sourceAlpha, BlendFactor::one); },
         {GL_BLEND_SRC, GL_SRC_ALPHA}},
        {[] { blendFunction(BlendFactor::one, BlendFactor::oneMinusSourceAlpha); },
         {GL_BLEND_DST, GL_ONE_MINUS_SRC_ALPHA}},
        {[] { depthFunction(DepthCompare::lessOrEqual); }, {GL_DEPTH_FUNC, GL_LEQUAL}},
        {[] { depthFunction(DepthCompare::always); }, {GL_DEPTH_FUNC, GL_ALWAYS}},
        {[] { depthMask(false); }, {GL_DEPTH_WRITEMASK, GL_FALSE}},
        {[] { cullFace(Face::frontAndBack); }, {GL_CULL_FACE_MODE, GL_FRONT_AND_BACK}},
        {[] { shadeModel(Shading::flat); }, {GL_SHADE_MODEL, GL_FLAT}},
        {[] { polygonMode(PolygonFill::lines); }, {GL_POLYGON_MODE, GL_LINE}},
        {[] { matrixMode(MatrixStack::texture); }, {GL_MATRIX_MODE, GL_TEXTURE}},
        {[] { matrixMode(MatrixStack::projection); }, {GL_MATRIX_MODE, GL_PROJECTION}},
        {[] { hintNicest(Hint::pointSmooth); }, {GL_POINT_SMOOTH_HINT, GL_NICEST}},
        {[] { hintNicest(Hint::fog); }, {GL_FOG_HINT, GL_NICEST}},
    };
    for (const auto& [set, expected] : table) {
        set();
        EXPECT_EQ(glInteger(expected.first), expected.second) << expected.first;
    }
}

TEST(DrawNames, TextureAndLightParametersReachTheirGlParameter) {
    test::GlTestContext gl;
    VELMORRA_REQUIRE_GL(gl);
    draw::bindTexture(draw::generateTexture());
    draw::minificationFilter(draw::TextureFilter::linearMipmapNearest);
    draw::magnificationFilter(draw::TextureFilter::linear);
    draw::textureWrap(draw::TextureWrap::clamp);
    draw::textureMode(draw::TextureMode::decal);
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR_MIPMAP_NEAREST);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &value);
    EXPECT_EQ(value, GL_CLAMP);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &value);
    EXPECT_EQ(value, GL_DECAL);

    draw::lightFloat(2, draw::LightParameter::quadraticAttenuation, 3.0f);
    draw::lightInteger(2, draw::LightParameter::spotCutoff, 30);
    GLfloat light[4] = {};
    glGetLightfv(GL_LIGHT2, GL_QUADRATIC_ATTENUATION, light);
    EXPECT_EQ(light[0], 3.0f);
    glGetLightfv(GL_LIGHT2, GL_SPOT_CUTOFF, light);
    EXPECT_EQ(light[0], 30.0f);
    draw::materialFloat(draw::MaterialParameter::shininess, 7.0f);
    glGetMaterialfv(GL_BACK, GL_SHININESS, light);
    EXPECT_EQ(light[0], 7.0f);
}

} // namespace
} // namespace velmorra
