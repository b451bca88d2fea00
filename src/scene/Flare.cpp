#include "scene/Flare.h"

namespace velmorra {

namespace {

constexpr int spriteFilter = 1;

} // namespace

Flare::Flare(float offset, float size, float r, float g, float b)
    : offset(offset), size(size), r(r), g(g), b(b) {}

bool Flare::loadTexture(const std::string& fileName) {
    return texture.load(fileName, spriteFilter);
}

} // namespace velmorra
