#include "demo/TexQuad2D.h"

#include <GL/gl.h>

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
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
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
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glEnable(GL_TEXTURE_2D);
    texture.bind();
    glColor3f(brightness, brightness, brightness);
    const std::array<float, 4> cornerX{x, x + width, x + width, x};
    const std::array<float, 4> cornerY{y, y, y + height, y + height};
    glBegin(GL_QUADS);
    for (std::size_t corner = 0; corner < texCoords.size(); ++corner) {
        glTexCoord2f(texCoords[corner].s, texCoords[corner].t);
        glVertex2f(cornerX[corner], cornerY[corner]);
    }
    glEnd();
    glDisable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_BLEND);
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
