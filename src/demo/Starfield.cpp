#include "demo/Starfield.h"

#include "math/Random.h"

#include "draw/DisplayLists.h"
#include "draw/Features.h"
#include "draw/Immediate.h"
#include "draw/RasterState.h"
#include "draw/Textures.h"

#include <cmath>

namespace velmorra {

namespace {

constexpr double twoPi = 6.283185307179586;
constexpr int atlasCells = 4;

// A random draw reduced to 0 ... 999.
int drawPermille(Random& random) {
    return random.next() % 1000;
}

// An angle around the vertical axis, -pi to just under pi.
float drawAzimuth(Random& random) {
    return static_cast<float>((drawPermille(random) - 500) * twoPi * 0.001);
}

// The arcsine of an even draw spreads the directions evenly over the sphere.
float drawElevation(Random& random) {
    return static_cast<float>(std::asin((drawPermille(random) - 500) * 2.0 * 0.001));
}

Vector3 onSphere(float distance, float azimuth, float elevation) {
    const double cosElevation = std::cos(static_cast<double>(elevation));
    return {static_cast<float>(distance * std::cos(static_cast<double>(azimuth)) * cosElevation),
            static_cast<float>(distance * std::sin(static_cast<double>(elevation))),
            static_cast<float>(distance * std::sin(static_cast<double>(azimuth)) * cosElevation)};
}

// Two edges of length size, perpendicular to the corner's direction from the
// viewer and to each other, so the sprite faces the viewer.
void spriteEdges(const Vector3& corner, float size, Vector3& u, Vector3& v) {
    if (corner.z == 0.0f) {
        // The usual construction divides by z; straight up the z axis is
        // perpendicular to any such corner.
        u.set(0.0f, 0.0f, 1.0f);
        v = cross(u, corner);
    } else {
        v = perpendicularPair(corner, u);
    }
    u.normalize();
    v.normalize();
    u = scaled(size, u);
    v = scaled(size, v);
}

void emitStars(const std::vector<Starfield::Star>& stars, int begin, int end, float pointSize) {
    draw::pointSize(pointSize);
    draw::begin(draw::Primitive::points);
    for (int i = begin; i < end; ++i) {
        const Starfield::Star& star = stars[static_cast<std::size_t>(i)];
        draw::color(star.grey, star.grey, star.grey);
        draw::vertex(star.position.x, star.position.y, star.position.z);
    }
    draw::end();
}

void emitSprite(int column, int row, const Vector3& corner, const Vector3& u, const Vector3& v) {
    const float s0 = static_cast<float>(column) / atlasCells;
    const float s1 = static_cast<float>(column + 1) / atlasCells;
    const float t0 = static_cast<float>(row) / atlasCells;
    const float t1 = static_cast<float>(row + 1) / atlasCells;
    const Vector3 acrossU = sum(corner, u);
    const Vector3 opposite = sum(acrossU, v);
    const Vector3 acrossV = sum(corner, v);
    draw::texCoord(s0, t0);
    draw::vertex(corner.x, corner.y, corner.z);
    draw::texCoord(s1, t0);
    draw::vertex(acrossU.x, acrossU.y, acrossU.z);
    draw::texCoord(s1, t1);
    draw::vertex(opposite.x, opposite.y, opposite.z);
    draw::texCoord(s0, t1);
    draw::vertex(acrossV.x, acrossV.y, acrossV.z);
}

} // namespace

Starfield::~Starfield() {
    release();
}

void Starfield::build(float radius, float brightness, int count, const char* spriteFile,
                      float spriteSize, Random& random) {
    if (pointsBuilt) {
        return;
    }
    compilePoints(generateStars(radius, brightness, count, random), count);
    if (spriteFile == nullptr) {
        return;
    }
    // An unreadable atlas leaves the texture empty: the sprites are then drawn
    // as plain squares.
    spriteTexture.load(spriteFile, 1);
    compileSprites(radius, spriteSize, random);
}

// The exponent 0.333 (not quite a third) fills the ball about evenly by
// volume; squaring the grey makes most stars faint.
std::vector<Starfield::Star> Starfield::generateStars(float radius, float brightness, int count,
                                                     Random& random) {
    std::vector<Star> stars;
    for (int i = 0; i < count; ++i) {
        const auto distance =
            static_cast<float>(radius * std::pow(drawPermille(random) * 0.001, 0.333));
        const float azimuth = drawAzimuth(random);
        const float elevation = drawElevation(random);
        auto grey =
            static_cast<float>(static_cast<float>(drawPermille(random)) * brightness * 0.001);
        grey = grey * grey;
        stars.push_back({onSphere(distance, azimuth, elevation), grey});
    }
    return stars;
}

// The last batch leaves the point size at 1 after every render.
void Starfield::compilePoints(const std::vector<Star>& stars, int count) {
    pointList = draw::generateLists(1);
    draw::beginList(pointList);
    emitStars(stars, 0, mediumBatchStart(count), 2.0f);
    emitStars(stars, mediumBatchStart(count), smallBatchStart(count), 1.5f);
    emitStars(stars, smallBatchStart(count), count, 1.0f);
    draw::endList();
    pointsBuilt = true;
}

// P is a corner of its sprite, not its centre.
void Starfield::compileSprites(float radius, float spriteSize, Random& random) {
    spriteList = draw::generateLists(1);
    draw::beginList(spriteList);
    draw::begin(draw::Primitive::quads);
    for (int column = 0; column < atlasCells; ++column) {
        for (int row = 0; row < atlasCells; ++row) {
            const float azimuth = drawAzimuth(random);
            const float elevation = drawElevation(random);
            const Vector3 corner = onSphere(radius, azimuth, elevation);
            Vector3 u;
            Vector3 v;
            spriteEdges(corner, spriteSize, u, v);
            emitSprite(column, row, corner, u, v);
        }
    }
    draw::end();
    draw::endList();
    spritesBuilt = true;
}

void Starfield::release() {
    if (pointsBuilt) {
        draw::deleteLists(pointList, 1);
        pointsBuilt = false;
    }
    if (spritesBuilt) {
        draw::deleteLists(spriteList, 1);
        spriteTexture.release();
        spritesBuilt = false;
    }
}

// Blending stays on throughout (the renderer keeps it on while the world is
// drawn): the smoothed points come out round and the sprites add their texel
// colours to what lies behind them.
void Starfield::render() {
    if (!pointsBuilt && !spritesBuilt) {
        return;
    }
    draw::depthMask(false);
    draw::disable(draw::Feature::lighting);
    draw::enable(draw::Feature::colorMaterial);
    draw::enable(draw::Feature::pointSmooth);
    draw::disable(draw::Feature::texturing);
    draw::callList(pointList);
    draw::disable(draw::Feature::pointSmooth);
    draw::disable(draw::Feature::colorMaterial);
    if (spritesBuilt) {
        draw::textureMode(draw::TextureMode::decal);
        draw::blendFunction(draw::BlendFactor::one, draw::BlendFactor::one);
        spriteTexture.bind();
        draw::callList(spriteList);
        draw::blendFunction(draw::BlendFactor::sourceAlpha, draw::BlendFactor::oneMinusSourceAlpha);
        draw::textureMode(draw::TextureMode::modulate);
    }
    draw::enable(draw::Feature::lighting);
    draw::depthMask(true);
}

} // namespace velmorra
