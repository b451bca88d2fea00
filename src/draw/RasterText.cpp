#include "draw/RasterText.h"

#include <GLES2/gl2.h>

#include <cmath>
#include <vector>

namespace velmorra::draw {

namespace {

// The bitmap's corner is the pixel the raster position less the origin falls in, with the
// small allowance OpenGL implementations make for rounding.
constexpr float allowance = 0.0001f;

// Window pixels as the projection, the raster position's depth kept.
MatrixStacks pixelProjection(const Viewport& viewport) {
    MatrixStacks pixels;
    pixels.select(MatrixStack::projection);
    pixels.ortho(viewport[0], viewport[0] + viewport[2], viewport[1], viewport[1] + viewport[3],
                 -1.0, 1.0);
    return pixels;
}

} // namespace

void RasterText::compile(unsigned int list, int width, int height, float originX, float originY,
                         float advance, const unsigned char* rows) {
    glyphs.add(list, width, height, originX, originY, advance, rows);
}

void RasterText::forget(unsigned int list) {
    glyphs.remove(list);
}

bool RasterText::hasGlyph(unsigned int list) const {
    return glyphs.find(list) != nullptr;
}

// As the fixed pipeline does, in double precision so that a position on a pixel's edge stays
// on it; outside the clip volume the position is invalid and no text is drawn from it.
bool RasterText::place(float x, float y, const MatrixStacks& stacks, const Viewport& viewport) {
    const Matrix& projection = stacks.top(MatrixStack::projection);
    const Matrix& view = stacks.top(MatrixStack::modelview);
    std::array<double, 4> eye{};
    std::array<double, 4> clip{};
    for (std::size_t row = 0; row < 4; ++row) {
        eye[row] = double{view[row]} * x + double{view[4 + row]} * y + double{view[12 + row]};
    }
    for (std::size_t row = 0; row < 4; ++row) {
        for (std::size_t k = 0; k < 4; ++k) {
            clip[row] += double{projection[k * 4 + row]} * eye[k];
        }
    }
    const double w = clip[3];
    rasterValid = std::fabs(clip[0]) <= w && std::fabs(clip[1]) <= w && std::fabs(clip[2]) <= w;
    if (rasterValid) {
        rasterPosition = {static_cast<float>(viewport[0] + (clip[0] / w + 1.0) * 0.5 * viewport[2]),
                          static_cast<float>(viewport[1] + (clip[1] / w + 1.0) * 0.5 * viewport[3]),
                          static_cast<float>((clip[2] / w + 1.0) * 0.5)};
    }
    return rasterValid;
}

// Each glyph is a quad of window pixels cut from the atlas texel for pixel.
void RasterText::draw(const char* text, int length, unsigned int listBase,
                      const BatchVertex& current, const FixedFunctionState& state,
                      const Viewport& viewport, FixedFunctionProgram& program,
                      DrawStatistics& submitted) {
    if (!rasterValid) {
        return;
    }
    std::vector<BatchVertex> quads;
    const unsigned int atlas = glyphs.texture();
    const float atlasWidth = static_cast<float>(glyphs.width());
    const float atlasHeight = static_cast<float>(glyphs.height());
    const float depth = 1.0f - 2.0f * rasterPosition[2];
    for (int i = 0; i < length; ++i) {
        const AtlasGlyph* glyph = glyphs.find(listBase + static_cast<unsigned char>(text[i]));
        if (glyph == nullptr) {
            continue;
        }
        const float left = std::floor(rasterPosition[0] + allowance - glyph->originX);
        const float bottom = std::floor(rasterPosition[1] + allowance - glyph->originY);
        const float right = left + static_cast<float>(glyph->width);
        const float top = bottom + static_cast<float>(glyph->height);
        const float s0 = static_cast<float>(glyph->atlasX) / atlasWidth;
        const float t0 = static_cast<float>(glyph->atlasY) / atlasHeight;
        const float s1 = static_cast<float>(glyph->atlasX + glyph->width) / atlasWidth;
        const float t1 = static_cast<float>(glyph->atlasY + glyph->height) / atlasHeight;
        for (const auto& [x, y, s, t] : {std::array{left, bottom, s0, t0},
                                         {right, bottom, s1, t0},
                                         {right, top, s1, t1},
                                         {left, bottom, s0, t0},
                                         {right, top, s1, t1},
                                         {left, top, s0, t1}}) {
            BatchVertex corner = current;
            corner.position = {x, y, depth};
            corner.texCoord = {s, t};
            corner.flatColor = corner.color;
            quads.push_back(corner);
        }
        rasterPosition[0] += glyph->advance;
    }
    if (!quads.empty()) {
        glBindTexture(GL_TEXTURE_2D, atlas);
        program.apply(state, pixelProjection(viewport), viewport, false, FragmentRole::glyph);
        program.draw(BatchKind::triangles, quads.data(), quads.size());
        ++submitted.drawCalls;
        submitted.vertices += quads.size();
    }
    glBindTexture(GL_TEXTURE_2D, state.boundTexture);
}

} // namespace velmorra::draw
