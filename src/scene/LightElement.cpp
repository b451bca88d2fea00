#include "scene/LightElement.h"

#include "math/Camera.h"
#include "math/Matrix3.h"
#include "scene/SceneState.h"

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
GLint truncatedFactor(float value) {
    if (std::isnan(value)) {
        return 0;
    }
    constexpr auto largest = static_cast<float>(std::numeric_limits<GLint>::max());
    if (value >= largest) {
        return std::numeric_limits<GLint>::max();
    }
    if (value <= -largest) {
        return std::numeric_limits<GLint>::min();
    }
    return static_cast<GLint>(value);
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
    glBegin(GL_QUADS);
    for (int i = 0; i < 4; ++i) {
        glTexCoord2f(s[i], t[i]);
        glVertex3f(corners[i].x, corners[i].y, corners[i].z);
    }
    glEnd();
}

std::array<float, 16> currentModelview() {
    std::array<float, 16> m{};
    glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
    return m;
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
void LightElement::apply(GLenum light) {
    if (!enabled) {
        glDisable(light);
        return;
    }
    glEnable(light);
    glPushMatrix();
    applyPlacement();
    glLighti(light, GL_SPOT_CUTOFF, spotCutoff);
    glLightf(light, GL_SPOT_EXPONENT, spotExponent);
    glLighti(light, GL_CONSTANT_ATTENUATION, truncatedFactor(constantAttenuation));
    glLighti(light, GL_LINEAR_ATTENUATION, truncatedFactor(linearAttenuation));
    glLighti(light, GL_QUADRATIC_ATTENUATION, truncatedFactor(quadraticAttenuation));
    const GLfloat ambient[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    const GLfloat colour[4] = {color[0], color[1], color[2], 1.0f};
    glLightfv(light, GL_AMBIENT, ambient);
    glLightfv(light, GL_DIFFUSE, colour);
    glLightfv(light, GL_SPECULAR, colour);
    const GLfloat place[4] = {0.0f, 0.0f, 0.0f, positional};
    const GLfloat direction[3] = {spotDirection.x, spotDirection.y, spotDirection.z};
    glLightfv(light, GL_POSITION, place);
    glLightfv(light, GL_SPOT_DIRECTION, direction);
    glPopMatrix();
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
    glPushMatrix();
    applyPlacement();
    const std::array<float, 16> local = currentModelview();
    glPushAttrib(GL_FOG_BIT);
    glDisable(GL_FOG);
    if (glowLoaded && glow) {
        drawGlow(local);
    }
    if (flaresLoaded && flare && scene.currentCamera != nullptr) {
        drawFlares(view, scene.nearDistance, *scene.currentCamera);
    }
    glPopAttrib();
    if (marker) {
        drawMarker();
    }
    glPopMatrix();
}

// A billboard facing the viewer around the light, in the light's local coordinates. The depth
// test stays on, so nearer geometry hides it.
void LightElement::drawGlow(const std::array<float, 16>& local) const {
    const Vector3 right = row(local, 0, glowSize * 0.5f);
    const Vector3 up = row(local, 1, glowSize * 0.5f);
    glDepthMask(GL_FALSE);
    glDisable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
    glBlendFunc(GL_ONE, GL_ONE);
    glColor4f(color[0], color[1], color[2], 0.0f);
    glowTexture.bind();
    texturedQuad({}, right, up);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_COLOR_MATERIAL);
    glEnable(GL_LIGHTING);
    glDepthMask(GL_TRUE);
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

    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_COLOR_MATERIAL);
    glBlendFunc(GL_ONE, GL_ONE);
    glPushMatrix();
    glLoadMatrixf(view.data());
    const Vector3 baseRight = row(view, 0, glowSize * 0.5f);
    const Vector3 baseUp = row(view, 1, glowSize * 0.5f);
    for (std::size_t i = 0; i < flares.size(); ++i) {
        const Flare& sprite = flares[i];
        glColor3f(sprite.getRed() * k * color[0], sprite.getGreen() * k * color[1],
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
    glPopMatrix();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_COLOR_MATERIAL);
    glEnable(GL_LIGHTING);
}

// Texturing stays off; the next element's material turns it on again as it needs.
void LightElement::drawMarker() const {
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glEnable(GL_COLOR_MATERIAL);
    glPointSize(5.0f);
    glLineWidth(2.0f);
    glColor3f(color[0], color[1], color[2]);
    glBegin(GL_POINTS);
    glVertex3f(0.0f, 0.0f, 0.0f);
    glEnd();
    glBegin(GL_LINE_STRIP);
    glVertex3f(0.0f, 0.0f, 0.0f);
    glVertex3f(spotDirection.x, spotDirection.y, spotDirection.z);
    glEnd();
    glDisable(GL_COLOR_MATERIAL);
    glEnable(GL_BLEND);
    glEnable(GL_LIGHTING);
}

} // namespace velmorra
