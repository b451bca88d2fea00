#include "demo/Starfield.h"

#include "math/Random.h"

#include <cmath>

namespace velmorra {

namespace {

constexpr double twoPi = 6.283185307179586;
constexpr int atlasCells = 4;

// A random draw reduced to 0 ... 999.
int draw(Random& random) {
    return random.next() % 1000;
}

// An angle around the vertical axis, -pi to just under pi.
float drawAzimuth(Random& random) {
    return static_cast<float>((draw(random) - 500) * twoPi * 0.001);
}

// The arcsine of an even draw spreads the directions evenly over the sphere.
float drawElevation(Random& random) {
    return static_cast<float>(std::asin((draw(random) - 500) * 2.0 * 0.001));
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
    glPointSize(pointSize);
    glBegin(GL_POINTS);
    for (int i = begin; i < end; ++i) {
        const Starfield::Star& star = stars[static_cast<std::size_t>(i)];
        glColor3f(star.grey, star.grey, star.grey);
        glVertex3f(star.position.x, star.position.y, star.position.z);
    }
    glEnd();
}

void emitSprite(int column, int row, const Vector3& corner, const Vector3& u, const Vector3& v) {
    const float s0 = static_cast<float>(column) / atlasCells;
    const float s1 = static_cast<float>(column + 1) / atlasCells;
    const float t0 = static_cast<float>(row) / atlasCells;
    const float t1 = static_cast<float>(row + 1) / atlasCells;
    const Vector3 acrossU = sum(corner, u);
    const Vector3 opposite = sum(acrossU, v);
    const Vector3 acrossV = sum(corner, v);
    glTexCoord2f(s0, t0);
    glVertex3f(corner.x, corner.y, corner.z);
    glTexCoord2f(s1, t0);
    glVertex3f(acrossU.x, acrossU.y, acrossU.z);
    glTexCoord2f(s1, t1);
    glVertex3f(opposite.x, opposite.y, opposite.z);
    glTexCoord2f(s0, t1);
    glVertex3f(acrossV.x, acrossV.y, acrossV.z);
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
        const auto distance = static_cast<float>(radius * std::pow(draw(random) * 0.001, 0.333));
        const float azimuth = drawAzimuth(random);
        const float elevation = drawElevation(random);
        auto grey = static_cast<float>(static_cast<float>(draw(random)) * brightness * 0.001);
        grey = grey * grey;
        stars.push_back({onSphere(distance, azimuth, elevation), grey});
    }
    return stars;
}

// The last batch leaves the point size at 1 after every render.
void Starfield::compilePoints(const std::vector<Star>& stars, int count) {
    pointList = glGenLists(1);
    glNewList(pointList, GL_COMPILE);
    emitStars(stars, 0, mediumBatchStart(count), 2.0f);
    emitStars(stars, mediumBatchStart(count), smallBatchStart(count), 1.5f);
    emitStars(stars, smallBatchStart(count), count, 1.0f);
    glEndList();
    pointsBuilt = true;
}

// P is a corner of its sprite, not its centre.
void Starfield::compileSprites(float radius, float spriteSize, Random& random) {
    spriteList = glGenLists(1);
    glNewList(spriteList, GL_COMPILE);
    glBegin(GL_QUADS);
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
    glEnd();
    glEndList();
    spritesBuilt = true;
}

void Starfield::release() {
    if (pointsBuilt) {
        glDeleteLists(pointList, 1);
        pointsBuilt = false;
    }
    if (spritesBuilt) {
        glDeleteLists(spriteList, 1);
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
    glDepthMask(GL_FALSE);
    glDisable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_POINT_SMOOTH);
    glDisable(GL_TEXTURE_2D);
    glCallList(pointList);
    glDisable(GL_POINT_SMOOTH);
    glDisable(GL_COLOR_MATERIAL);
    if (spritesBuilt) {
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
        glBlendFunc(GL_ONE, GL_ONE);
        spriteTexture.bind();
        glCallList(spriteList);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    }
    glEnable(GL_LIGHTING);
    glDepthMask(GL_TRUE);
}

} // namespace velmorra
