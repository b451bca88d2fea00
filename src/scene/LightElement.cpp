#include "scene/LightElement.h"

#include "math/Camera.h"
#include "math/Matrix3.h"
#include "scene/SceneState.h"

#include "draw/Features.h"
#include "draw/Immediate.h"
#include "draw/Lighting.h"
#include "draw/Matrices.h"
#include "draw/RasterState.h"

#include <cmath>
#include <limits>

namespace velmorra {

namespace {

constexpr int noSpot = 180;
constexpr int widestSpot = 90;
// How sharply the flares fade as the light leaves the view axis.
constexpr float flareFocus = 15.0f;

// The attenuation factors reach GL through its integer call, truncated toward zero; factors
// beyond the integer range are held at its ends rather than overflowing.
int truncatedFactor(float value) {
    if (std::isnan(value)) {
        return 0;
    }
    constexpr auto largest = static_cast<float>(std::numeric_limits<int>::max());
    if (value >= largest) {
        return std::numeric_limits<int>::max();
    }
    if (value <= -largest) {
        return std::numeric_limits<int>::min();
    }
    return static_cast<int>(value);
}

// Row r of the rotation part of a column-major matrix: a screen axis expressed in the
// matrix's source coordinates.
Vector3 row(const std::array<float, 16>& m, int r, float length) {
    return scaled(length, {m[r], m[4 + r], m[8 + r]});
}

void texturedQuad(const Vector3& p, const Vector3& right, const Vector3& up) {
    const Vector3 corners[4] = {difference(difference(p, right), up), difference(sum(p, right), up),
                                sum(sum(p, right), up), sum(difference(p, right), up)};
    const float s[4] = {0.0f, 1.0f, 1.0f, 0.0f};
    const float t[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    draw::begin(draw::Primitive::quads);
    for (int i = 0; i < 4; ++i) {
        draw::texCoord(s[i], t[i]);
        draw::vertex(corners[i].x, corners[i].y, corners[i].z);
    }
    draw::end();
}

std::array<float, 16> currentModelview() {
    return draw::currentMatrix(draw::MatrixStack::modelview);
}

} // namespace

LightElement::~LightElement() {
    release();
}

void LightElement::release() {
    if (glowLoaded) {
        glowTexture.release();
        glow = false;
        enabled = false;
        glowLoaded = false;
    }
    if (flaresLoaded) {
        flares.clear();
        flare = false;
        flaresLoaded = false;
    }
}

void LightElement::setPosition(float x, float y, float z) {
    position.set(x, y, z);
}

CullResult LightElement::cullTest(const SceneState& scene) const {
    CullResult result = testSphere(scene);
    result.depth = std::fabs(result.depth) * 0.001f;
    return result;
}

void LightElement::setSpot(int cutoff, float exponent, Vector3 direction, bool isPositional) {
    if (cutoff < 0) {
        cutoff = 0;
    } else if (cutoff > widestSpot && cutoff != noSpot) {
        cutoff = widestSpot;
    }
    spotCutoff = cutoff;
    spotExponent = exponent;
    spotDirection = direction;
    positional = isPositional ? 1.0f : 0.0f;
}

void LightElement::setAttenuation(float constant, float linear, float quadratic) {
    constantAttenuation = constant < 0.0f ? 1.0f : constant;
    linearAttenuation = linear < 0.0f ? 0.0f : linear;
    quadraticAttenuation = quadratic < 0.0f ? 0.0f : quadratic;
}

void LightElement::setColor(float r, float g, float b) {
    color = {r, g, b};
}

void LightElement::setFlags(bool isEnabled, bool hasGlow, bool hasFlare) {
    enabled = isEnabled;
    glow = hasGlow;
    flare = hasFlare;
}

bool LightElement::loadGlow(const std::string& fileName, float size) {
    if (glowLoaded || !glowTexture.load(fileName, spriteFilter)) {
        return false;
    }
    glowSize = size;
    glowLoaded = true;
    return true;
}

bool LightElement::addFlare(const std::string& fileName, float offset, float size, float r, float g,
                            float b) {
    Flare sprite(offset, size, r, g, b);
    if (!sprite.loadTexture(fileName)) {
        return false;
    }
    flares.push_back(sprite);
    flaresLoaded = true;
    return true;
}

// The light sits at the element's place in the world and its spot turns with the object.
void LightElement::apply(int slot) {
    using draw::LightParameter;
    if (!enabled) {
        draw::disableLight(slot);
        return;
    }
    draw::enableLight(slot);
    draw::pushMatrix();
    applyPlacement();
    draw::lightInteger(slot, LightParameter::spotCutoff, spotCutoff);
    draw::lightFloat(slot, LightParameter::spotExponent, spotExponent);
    draw::lightInteger(slot, LightParameter::constantAttenuation,
                       truncatedFactor(constantAttenuation));
    draw::lightInteger(slot, LightParameter::linearAttenuation, truncatedFactor(linearAttenuation));
    draw::lightInteger(slot, LightParameter::quadraticAttenuation,
                       truncatedFactor(quadraticAttenuation));
    const float ambient[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    const float colour[4] = {color[0], color[1], color[2], 1.0f};
    draw::lightVector(slot, LightParameter::ambient, ambient);
    draw::lightVector(slot, LightParameter::diffuse, colour);
    draw::lightVector(slot, LightParameter::specular, colour);
    const float place[4] = {0.0f, 0.0f, 0.0f, positional};
    const float direction[3] = {spotDirection.x, spotDirection.y, spotDirection.z};
    draw::lightVector(slot, LightParameter::position, place);
    draw::lightVector(slot, LightParameter::spotDirection, direction);
    draw::popMatrix();
}

Vector3 LightElement::worldPosition() const {
    if (owner == nullptr) {
        return position;
    }
    const auto& m = owner->matrix;
    const Matrix3 rotation =
        Matrix3::fromColumns({m[0], m[1], m[2]}, {m[4], m[5], m[6]}, {m[8], m[9], m[10]});
    return sum(transform(rotation, position), owner->worldPosition);
}

void LightElement::render(const SceneState& scene) {
    const std::array<float, 16> view = currentModelview();
    draw::pushMatrix();
    applyPlacement();
    const std::array<float, 16> local = currentModelview();
    draw::saveFog();
    draw::disable(draw::Feature::fog);
    if (glowLoaded && glow) {
        drawGlow(local);
    }
    if (flaresLoaded && flare && scene.currentCamera != nullptr) {
        drawFlares(view, scene.nearDistance, *scene.currentCamera);
    }
    draw::restoreFog();
    if (marker) {
        drawMarker();
    }
    draw::popMatrix();
}

// A billboard facing the viewer around the light, in the light's local coordinates. The depth
// test stays on, so nearer geometry hides it.
void LightElement::drawGlow(const std::array<float, 16>& local) const {
    const Vector3 right = row(local, 0, glowSize * 0.5f);
    const Vector3 up = row(local, 1, glowSize * 0.5f);
    draw::depthMask(false);
    draw::disable(draw::Feature::lighting);
    draw::enable(draw::Feature::colorMaterial);
    draw::blendFunction(draw::BlendFactor::one, draw::BlendFactor::one);
    draw::color(color[0], color[1], color[2], 0.0f);
    glowTexture.bind();
    texturedQuad({}, right, up);
    draw::blendFunction(draw::BlendFactor::sourceAlpha, draw::BlendFactor::oneMinusSourceAlpha);
    draw::disable(draw::Feature::colorMaterial);
    draw::enable(draw::Feature::lighting);
    draw::depthMask(true);
}

// Sprites on the line from the light through the point at the centre of the screen, brightest
// when the light is straight ahead. Nothing tests whether the light is hidden.
void LightElement::drawFlares(const std::array<float, 16>& view, float nearDistance,
                              const Camera& camera) const {
    const Vector3 forward = normalized(camera.getZAxis());
    const Vector3 eye = camera.getOrigin();
    const Vector3 screenCenter = sum(eye, scaled(2.0f * nearDistance, forward));
    const Vector3 light = worldPosition();
    const float intensity =
        std::pow(dot(normalized(difference(light, screenCenter)), forward), flareFocus);
    const Vector3 toCenter = difference(screenCenter, light);
    const auto distance = static_cast<float>(length(toCenter));
    const float k = intensity / (distance * 0.02f + 1.0f);

    draw::disable(draw::Feature::lighting);
    draw::disable(draw::Feature::depthTest);
    draw::enable(draw::Feature::colorMaterial);
    draw::blendFunction(draw::BlendFactor::one, draw::BlendFactor::one);
    draw::pushMatrix();
    draw::loadMatrix(view.data());
    const Vector3 baseRight = row(view, 0, glowSize * 0.5f);
    const Vector3 baseUp = row(view, 1, glowSize * 0.5f);
    for (std::size_t i = 0; i < flares.size(); ++i) {
        const Flare& sprite = flares[i];
        draw::color(sprite.getRed() * k * color[0], sprite.getGreen() * k * color[1],
                    sprite.getBlue() * k * color[2]);
        sprite.bindTexture();
        const Vector3 p = sum(light, scaled(sprite.getOffset(), toCenter));
        float s = 1.0f;
        if (i >= 2) {
            s = static_cast<float>(length(difference(p, eye))) * sprite.getSize() /
                (distance + nearDistance);
        }
        texturedQuad(p, scaled(s, baseRight), scaled(s, baseUp));
    }
    draw::popMatrix();
    draw::blendFunction(draw::BlendFactor::sourceAlpha, draw::BlendFactor::oneMinusSourceAlpha);
    draw::enable(draw::Feature::depthTest);
    draw::disable(draw::Feature::colorMaterial);
    draw::enable(draw::Feature::lighting);
}

// Texturing stays off; the next element's material turns it on again as it needs.
void LightElement::drawMarker() const {
    draw::disable(draw::Feature::texturing);
    draw::disable(draw::Feature::lighting);
    draw::disable(draw::Feature::blending);
    draw::enable(draw::Feature::colorMaterial);
    draw::pointSize(5.0f);
    draw::lineWidth(2.0f);
    draw::color(color[0], color[1], color[2]);
    draw::begin(draw::Primitive::points);
    draw::vertex(0.0f, 0.0f, 0.0f);
    draw::end();
    draw::begin(draw::Primitive::lineStrip);
    draw::vertex(0.0f, 0.0f, 0.0f);
    draw::vertex(spotDirection.x, spotDirection.y, spotDirection.z);
    draw::end();
    draw::disable(draw::Feature::colorMaterial);
    draw::enable(draw::Feature::blending);
    draw::enable(draw::Feature::lighting);
}

} // namespace velmorra
