#include "demo/TexQuad2D.h"

#include "draw/Features.h"
#include "draw/Immediate.h"
#include "draw/RasterState.h"
#include "draw/Textures.h"

#include <algorithm>

namespace velmorra {

namespace {

constexpr int linearFilter = 1;

} // namespace

TexQuad2D::~TexQuad2D() {
    unload();
}

void TexQuad2D::load(const std::string& fileName) {
    if (textureLoaded) {
        unload();
    }
    texture.load(fileName, linearFilter);
    // Lands on whatever texture is bound now: the new one when the cache has
    // just uploaded it.
    draw::textureWrap(draw::TextureWrap::clamp);
    textureLoaded = true;
}

void TexQuad2D::unload() {
    if (!textureLoaded) {
        return;
    }
    texture.release();
    textureLoaded = false;
}

void TexQuad2D::draw() const {
    if (!visible) {
        return;
    }
    draw::enable(draw::Feature::blending);
    draw::blendFunction(draw::BlendFactor::one, draw::BlendFactor::one);
    draw::enable(draw::Feature::texturing);
    texture.bind();
    draw::color(brightness, brightness, brightness);
    const std::array<float, 4> cornerX{x, x + width, x + width, x};
    const std::array<float, 4> cornerY{y, y, y + height, y + height};
    draw::begin(draw::Primitive::quads);
    for (std::size_t corner = 0; corner < texCoords.size(); ++corner) {
        draw::texCoord(texCoords[corner].s, texCoords[corner].t);
        draw::vertex(cornerX[corner], cornerY[corner]);
    }
    draw::end();
    draw::disable(draw::Feature::texturing);
    draw::blendFunction(draw::BlendFactor::sourceAlpha, draw::BlendFactor::oneMinusSourceAlpha);
    draw::disable(draw::Feature::blending);
}

void TexQuad2D::setSize(float newWidth, float newHeight) {
    width = newWidth;
    height = newHeight;
}

void TexQuad2D::setPosition(float newX, float newY) {
    x = newX;
    y = newY;
}

void TexQuad2D::setTexCoord(int corner, float s, float t) {
    if (corner < 0 || corner >= static_cast<int>(texCoords.size())) {
        return;
    }
    texCoords[static_cast<std::size_t>(corner)] = {s, t};
}

void TexQuad2D::setBrightness(float value) {
    brightness = std::clamp(value, 0.0f, 1.0f);
}

} // namespace velmorra
