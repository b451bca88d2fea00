#include "fluid/FluidElement.h"

#include "scene/SceneState.h"

#include "draw/Features.h"
#include "draw/Immediate.h"
#include "draw/Matrices.h"
#include "draw/RasterState.h"
#include "draw/Textures.h"

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
    draw::pushMatrix();
    applyPlacement();
    beginDrawMode();
    drawSurface();
    if (showParticles) {
        drawParticles();
    }
    endDrawMode();
    draw::popMatrix();
}

void FluidElement::beginDrawMode() const {
    if (smooth) {
        draw::enable(draw::Feature::polygonSmooth);
    }
    if (drawMode == drawFlat) {
        draw::shadeModel(draw::Shading::flat);
    } else if (drawMode == drawWireframe) {
        draw::polygonMode(draw::PolygonFill::lines);
    }
}

void FluidElement::endDrawMode() const {
    if (drawMode == drawFlat) {
        draw::shadeModel(draw::Shading::smooth);
    } else if (drawMode == drawWireframe) {
        draw::polygonMode(draw::PolygonFill::fill);
    }
    if (smooth) {
        draw::disable(draw::Feature::polygonSmooth);
    }
}

// Sphere-mapped, so the texture reflects the surroundings; the grid's normals are not unit
// length and GL rescales them.
void FluidElement::drawSurface() {
    draw::enable(draw::Feature::texGenS);
    draw::enable(draw::Feature::texGenT);
    draw::textureMode(draw::TextureMode::modulate);
    draw::enable(draw::Feature::normalize);
    material.apply();
    material.bindTexture();
    draw::begin(draw::Primitive::triangles);
    simulation.polygonize([](const Vector3& normal, const Vector3& vertex) {
        draw::normal(normal.x, normal.y, normal.z);
        draw::vertex(vertex.x, vertex.y, vertex.z);
    });
    draw::end();
    draw::disable(draw::Feature::normalize);
    draw::textureMode(draw::TextureMode::modulate);
    draw::disable(draw::Feature::texGenS);
    draw::disable(draw::Feature::texGenT);
}

void FluidElement::drawParticles() const {
    draw::enable(draw::Feature::colorMaterial);
    draw::enable(draw::Feature::pointSmooth);
    draw::disable(draw::Feature::lighting);
    draw::disable(draw::Feature::texturing);
    draw::pointSize(5.0f);
    draw::color(0.3f, 0.3f, 1.0f);
    draw::begin(draw::Primitive::points);
    for (const Vector3& p : simulation.getPositions()) {
        draw::vertex(p.x, p.y, p.z);
    }
    draw::end();
    draw::enable(draw::Feature::texturing);
    draw::enable(draw::Feature::lighting);
    draw::disable(draw::Feature::pointSmooth);
    draw::disable(draw::Feature::colorMaterial);
}

} // namespace velmorra
