#include "draw/BackendKind.h"
#include "draw/BitmapText.h"
#include "draw/Context.h"
#include "draw/DisplayLists.h"
#include "draw/Features.h"
#include "draw/Immediate.h"
#include "draw/Lighting.h"
#include "draw/Matrices.h"
#include "draw/RasterState.h"
#include "draw/Textures.h"
#include "draw/View.h"
#include "platform/OffscreenDisplay.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace velmorra {
namespace {

using namespace draw;

constexpr int side = 64;

// A scene drawn through the layer; the same calls on both backends must give the same pixels.
struct Scene {
    const char* name;
    std::function<void()> draw;
};

std::vector<std::uint8_t> render(BackendKind backend, const std::function<void()>& scene) {
    OffscreenDisplay display;
    std::string error;
    if (!display.open(side, side, error, backend)) {
        ADD_FAILURE() << error;
        return {};
    }
    clearColor(0.0f, 0.0f, 0.0f, 1.0f);
    clearColorAndDepth();
    scene();
    std::vector<std::uint8_t> pixels(side * side * 4);
    readPixels(side, side, pixels.data());
    display.close();
    return pixels;
}

void quad(float size) {
    begin(Primitive::quads);
    for (const auto& [x, y] :
         {std::pair{-size, -size}, {size, -size}, {size, size}, {-size, size}}) {
        normal(0.0f, 0.0f, 1.0f);
        texCoord(x > 0.0f ? 1.0f : 0.0f, y > 0.0f ? 1.0f : 0.0f);
        vertex(x, y, -3.0f);
    }
    end();
}

// A tessellated square, so that per-vertex lighting has vertices to work with.
void grid() {
    begin(Primitive::triangles);
    for (int row = 0; row < 8; ++row) {
        for (int column = 0; column < 8; ++column) {
            const float x0 = -1.0f + column * 0.25f, y0 = -1.0f + row * 0.25f;
            for (const auto& [dx, dy] : {std::pair{0.0f, 0.0f},
                                         {0.25f, 0.0f},
                                         {0.25f, 0.25f},
                                         {0.0f, 0.0f},
                                         {0.25f, 0.25f},
                                         {0.0f, 0.25f}}) {
                normal(0.0f, 0.0f, 1.0f);
                vertex(x0 + dx, y0 + dy, -2.0f);
            }
        }
    }
    end();
}

void light(int slot, std::array<float, 4> position, std::array<float, 4> colour) {
    enable(Feature::lighting);
    enableLight(slot);
    lightVector(slot, LightParameter::position, position.data());
    lightVector(slot, LightParameter::diffuse, colour.data());
    lightVector(slot, LightParameter::specular, colour.data());
}

const std::vector<Scene> scenes = {
    {"coloured quad",
     [] {
         color(0.2f, 0.6f, 0.9f);
         quad(0.8f);
     }},
    {"directional light with specular",
     [] {
         light(0, {0.3f, 0.5f, 1.0f, 0.0f}, {1.0f, 0.8f, 0.6f, 1.0f});
         const float specular[] = {0.8f, 0.8f, 0.8f, 1.0f};
         materialVector(MaterialParameter::specular, specular);
         materialFloat(MaterialParameter::shininess, 20.0f);
         grid();
     }},
    {"spot light with attenuation",
     [] {
         light(1, {0.0f, 0.0f, 0.0f, 1.0f}, {1.0f, 1.0f, 1.0f, 1.0f});
         const float direction[] = {0.2f, 0.1f, -1.0f};
         lightVector(1, LightParameter::spotDirection, direction);
         lightInteger(1, LightParameter::spotCutoff, 20);
         lightFloat(1, LightParameter::spotExponent, 8.0f);
         lightFloat(1, LightParameter::linearAttenuation, 0.2f);
         grid();
     }},
    {"colour material and flat shading",
     [] {
         light(0, {0.0f, 0.0f, 1.0f, 0.0f}, {1.0f, 1.0f, 1.0f, 1.0f});
         enable(Feature::colorMaterial);
         shadeModel(Shading::flat);
         begin(Primitive::triangles);
         color(1.0f, 0.0f, 0.0f);
         normal(0.0f, 0.0f, 1.0f);
         vertex(-0.8f, -0.8f, -3.0f);
         color(0.0f, 1.0f, 0.0f);
         vertex(0.8f, -0.8f, -3.0f);
         color(0.0f, 0.0f, 1.0f);
         normal(0.6f, 0.0f, 0.8f);
         vertex(0.0f, 0.8f, -3.0f);
         end();
     }},
    {"wireframe culls back faces",
     [] {
         enable(Feature::cullFace);
         polygonMode(PolygonFill::lines);
         color(1.0f, 1.0f, 1.0f);
         quad(0.8f);
         begin(Primitive::triangles);
         vertex(-0.5f, -0.5f, -3.0f);
         vertex(0.0f, 0.5f, -3.0f);
         vertex(0.5f, -0.5f, -3.0f);
         end();
     }},
    {"display list replayed with blending",
     [] {
         const unsigned int list = generateLists(1);
         beginList(list);
         quad(0.5f);
         endList();
         enable(Feature::blending);
         blendFunction(BlendFactor::sourceAlpha, BlendFactor::one);
         color(0.5f, 0.2f, 0.1f, 0.5f);
         callList(list);
         translate(0.3f, 0.3f, 0.0f);
         callList(list);
         deleteLists(list, 1);
     }},
    {"smooth and square points",
     [] {
         pointSize(5.0f);
         enable(Feature::pointSmooth);
         begin(Primitive::points);
         vertex(-0.4f, 0.1f, -3.0f);
         end();
         disable(Feature::pointSmooth);
         pointSize(3.0f);
         begin(Primitive::points);
         vertex(0.4f, -0.1f, -3.0f);
         end();
     }},
    {"mipmapped texture, modulated",
     [] {
         std::vector<unsigned char> texels(16 * 16 * 3);
         for (std::size_t i = 0; i < texels.size(); ++i) {
             texels[i] = static_cast<unsigned char>((i / 3 % 16 + i / 48) % 2 != 0 ? 255 : 40);
         }
         bindTexture(generateTexture());
         uploadRgbMipmapped(16, 16, texels.data());
         minificationFilter(TextureFilter::linearMipmapNearest);
         magnificationFilter(TextureFilter::nearest);
         enable(Feature::texturing);
         color(1.0f, 0.5f, 0.5f);
         quad(0.9f);
     }},
    {"bitmap text from the raster position",
     [] {
         const unsigned char rows[] = {0x18, 0x3C, 0x66, 0x7E, 0x66, 0x66, 0x66, 0x00};
         const unsigned int base = generateLists(1);
         compileGlyph(base, 8, 8, 1.0f, 2.0f, 9.0f, rows);
         matrixMode(MatrixStack::projection);
         loadIdentity();
         ortho(0.0, 64.0, 0.0, 64.0, -1.0, 1.0);
         matrixMode(MatrixStack::modelview);
         loadIdentity();
         color(1.0f, 1.0f, 0.0f);
         const char text[] = {0, 0, 0};
         drawText(10, 30, base, text, 3);
         drawText(10, -5, base, text, 3);
     }},
};

double largestDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    double largest = 0.0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        largest = std::max(largest, std::fabs(static_cast<double>(a[i]) - static_cast<double>(b[i])));
    }
    return largest;
}

int litPixels(const std::vector<std::uint8_t>& pixels) {
    int lit = 0;
    for (std::size_t i = 0; i < pixels.size(); i += 4) {
        lit += pixels[i] + pixels[i + 1] + pixels[i + 2] > 0 ? 1 : 0;
    }
    return lit;
}

// Per-vertex lighting, texture lookups and rasterisation rules may round differently by a
// step or two of 255; anything more is a different picture.
TEST(Backends, Gles2DrawsEachFeatureAsGl11Does) {
    for (const Scene& scene : scenes) {
        const auto gl11 = render(BackendKind::gl11, scene.draw);
        const auto gles2 = render(BackendKind::gles2, scene.draw);
        ASSERT_EQ(gl11.size(), gles2.size()) << scene.name;
        EXPECT_GT(litPixels(gl11), 0) << scene.name << " draws something";
        EXPECT_LE(largestDifference(gl11, gles2), 3.0) << scene.name;
    }
}

TEST(Backends, Gles2RunsOnAnOpenGlEsContext) {
    OffscreenDisplay display;
    std::string error;
    ASSERT_TRUE(display.open(side, side, error, BackendKind::gles2)) << error;
    EXPECT_EQ(currentBackendKind(), BackendKind::gles2);
    EXPECT_EQ(std::strncmp(contextString(ContextString::version), "OpenGL ES", 9), 0)
        << contextString(ContextString::version);
    display.close();
    EXPECT_EQ(currentBackendKind(), BackendKind::gl11) << "the layer forgets the context";
}

} // namespace
} // namespace velmorra
