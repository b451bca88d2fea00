#include "fluid/FluidElement.h"

#include "scene/SceneState.h"

#include <GL/gl.h>

namespace velmorra {

namespace {

constexpr int surfaceTextureFilter = 1;

} // namespace

FluidElement::~FluidElement() {
    release();
}

void FluidElement::init(int count, int gridSize, float halfWidth, float halfHeight,
                        float halfDepth, Random& random) {
    if (count < 1) {
        return;
    }
    release();
    simulation.init(count, gridSize, halfWidth, halfHeight, halfDepth, random);
    center.set(0.0f, 0.0f, 0.0f);
    radius = simulation.getRadius();
}

void FluidElement::release() {
    if (simulation.isInitialized()) {
        simulation.release();
        material.releaseTextures();
    }
}

void FluidElement::setPosition(float x, float y, float z) {
    position.set(x, y, z);
}

CullResult FluidElement::cullTest(const SceneState& scene) const {
    CullResult result = testSphere(scene);
    result.depth = scene.nearDistance;
    return result;
}

bool FluidElement::setTexture(const std::string& fileName) {
    return material.loadTexture(fileName, surfaceTextureFilter);
}

void FluidElement::render(const SceneState& /*scene*/) {
    if (!simulation.isInitialized()) {
        return;
    }
    glPushMatrix();
    applyPlacement();
    beginDrawMode();
    drawSurface();
    if (showParticles) {
        drawParticles();
    }
    endDrawMode();
    glPopMatrix();
}

void FluidElement::beginDrawMode() const {
    if (smooth) {
        glEnable(GL_POLYGON_SMOOTH);
    }
    if (drawMode == drawFlat) {
        glShadeModel(GL_FLAT);
    } else if (drawMode == drawWireframe) {
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    }
}

void FluidElement::endDrawMode() const {
    if (drawMode == drawFlat) {
        glShadeModel(GL_SMOOTH);
    } else if (drawMode == drawWireframe) {
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    }
    if (smooth) {
        glDisable(GL_POLYGON_SMOOTH);
    }
}

// Sphere-mapped, so the texture reflects the surroundings; the grid's normals are not unit
// length and GL rescales them.
void FluidElement::drawSurface() {
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_NORMALIZE);
    material.apply();
    material.bindTexture();
    glBegin(GL_TRIANGLES);
    simulation.polygonize([](const Vector3& normal, const Vector3& vertex) {
        glNormal3f(normal.x, normal.y, normal.z);
        glVertex3f(vertex.x, vertex.y, vertex.z);
    });
    glEnd();
    glDisable(GL_NORMALIZE);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
}

void FluidElement::drawParticles() const {
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_POINT_SMOOTH);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glPointSize(5.0f);
    glColor3f(0.3f, 0.3f, 1.0f);
    glBegin(GL_POINTS);
    for (const Vector3& p : simulation.getPositions()) {
        glVertex3f(p.x, p.y, p.z);
    }
    glEnd();
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_LIGHTING);
    glDisable(GL_POINT_SMOOTH);
    glDisable(GL_COLOR_MATERIAL);
}

} // namespace velmorra
