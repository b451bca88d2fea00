#include "scene/MeshElement.h"

#include "platform/StartupTimings.h"
#include "scene/WeldedNormals.h"

#include "draw/DisplayLists.h"
#include "draw/Features.h"
#include "draw/Immediate.h"
#include "draw/Matrices.h"
#include "draw/RasterState.h"

#include <utility>

namespace velmorra {

namespace {

// Linear with mipmaps: meshes are seen from every distance.
constexpr int meshTextureFilter = 2;

} // namespace

MeshElement::~MeshElement() {
    release();
}

void MeshElement::release() {
    if (!built) {
        return;
    }
    vertices = {};
    texCoords = {};
    faces = {};
    normals = {};
    draw::deleteLists(displayList, 1);
    displayList = 0;
    material.releaseTextures();
    built = false;
}

void MeshElement::setPosition(float x, float y, float z) {
    position.set(x, y, z);
}

CullResult MeshElement::cullTest(const SceneState& scene) const {
    CullResult result = testSphere(scene);
    result.depth += radius;
    return result;
}

void MeshElement::build(std::vector<Vector3> newVertices, std::vector<TexCoord> newTexCoords,
                        std::vector<Face> newFaces) {
    if (built) {
        return;
    }
    vertices = std::move(newVertices);
    texCoords = std::move(newTexCoords);
    texCoords.resize(vertices.size());
    faces = std::move(newFaces);
    convertAxes();
    findRadius();
    startupStep("mesh of %zu vertices read", vertices.size());
    normals = weldedNormals(vertices, faces);
    startupStep("its normals welded");
    compileDisplayList();
    startupStep("its display list compiled");
    built = true;
}

// The file is z-up, the scene y-up.
void MeshElement::convertAxes() {
    for (Vector3& v : vertices) {
        v.set(v.x, v.z, -v.y);
    }
}

// The sphere stays centred on the element's origin, wherever the vertices cluster.
void MeshElement::findRadius() {
    radius = 0.0f;
    for (const Vector3& v : vertices) {
        const auto distance = static_cast<float>(length(v));
        if (distance > radius) {
            radius = distance;
        }
    }
}

bool MeshElement::isDrawable(const Face& face) const {
    const std::size_t count = vertices.size();
    return face[0] < count && face[1] < count && face[2] < count;
}

void MeshElement::compileDisplayList() {
    displayList = draw::generateLists(1);
    draw::beginList(displayList);
    for (const Face& face : faces) {
        if (!isDrawable(face)) {
            continue;
        }
        draw::begin(draw::Primitive::triangles);
        for (const std::uint16_t corner : face) {
            const Vector3& n = normals[corner];
            const Vector3& v = vertices[corner];
            draw::normal(n.x, n.y, n.z);
            draw::texCoord(texCoords[corner].u, texCoords[corner].v);
            draw::vertex(v.x, v.y, v.z);
        }
        draw::end();
    }
    draw::endList();
}

void MeshElement::renderGeometry() {
    if (!built) {
        return;
    }
    draw::pushMatrix();
    applyPlacement();
    draw::callList(displayList);
    draw::popMatrix();
}

void MeshElement::render(const SceneState& /*scene*/) {
    if (!built) {
        return;
    }
    draw::pushMatrix();
    applyPlacement();
    beginStates();
    material.apply();
    material.bindTexture();
    draw::callList(displayList);
    endStates();
    draw::popMatrix();
}

bool MeshElement::smoothsPolygons() const {
    return material.isOpaque() && material.getTransparency() < 0.0f && smooth;
}

// A mesh that is not opaque is added onto what lies behind it, seen from both sides, and
// hides nothing.
void MeshElement::beginStates() const {
    if (smoothsPolygons()) {
        draw::enable(draw::Feature::polygonSmooth);
    }
    if (!material.isOpaque()) {
        draw::disable(draw::Feature::cullFace);
        draw::depthMask(false);
        draw::blendFunction(draw::BlendFactor::sourceAlpha, draw::BlendFactor::one);
    }
    if (drawMode == drawFlat) {
        draw::shadeModel(draw::Shading::flat);
    } else if (drawMode == drawWireframe) {
        draw::polygonMode(draw::PolygonFill::lines);
        draw::disable(draw::Feature::lighting);
    }
}

// Back to the renderer's resting state, in the reverse order; texturing stays as the material
// bound it.
void MeshElement::endStates() const {
    if (drawMode == drawFlat) {
        draw::shadeModel(draw::Shading::smooth);
    } else if (drawMode == drawWireframe) {
        draw::enable(draw::Feature::lighting);
        draw::polygonMode(draw::PolygonFill::fill);
    }
    if (!material.isOpaque()) {
        draw::enable(draw::Feature::cullFace);
        draw::depthMask(true);
        draw::blendFunction(draw::BlendFactor::sourceAlpha, draw::BlendFactor::oneMinusSourceAlpha);
    }
    if (smoothsPolygons()) {
        draw::disable(draw::Feature::polygonSmooth);
    }
}

void MeshElement::setMaterial(const Material& newMaterial) {
    material = newMaterial;
}

bool MeshElement::setTexture(const std::string& fileName) {
    return material.loadTexture(fileName, meshTextureFilter);
}

} // namespace velmorra
