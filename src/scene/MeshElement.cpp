#include "scene/MeshElement.h"

#include "platform/StartupTimings.h"
#include "scene/WeldedNormals.h"

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
    glDeleteLists(displayList, 1);
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
    displayList = glGenLists(1);
    glNewList(displayList, GL_COMPILE);
    for (const Face& face : faces) {
        if (!isDrawable(face)) {
            continue;
        }
        glBegin(GL_TRIANGLES);
        for (const std::uint16_t corner : face) {
            const Vector3& n = normals[corner];
            const Vector3& v = vertices[corner];
            glNormal3f(n.x, n.y, n.z);
            glTexCoord2f(texCoords[corner].u, texCoords[corner].v);
            glVertex3f(v.x, v.y, v.z);
        }
        glEnd();
    }
    glEndList();
}

void MeshElement::renderGeometry() {
    if (!built) {
        return;
    }
    glPushMatrix();
    applyPlacement();
    glCallList(displayList);
    glPopMatrix();
}

void MeshElement::render(const SceneState& /*scene*/) {
    if (!built) {
        return;
    }
    glPushMatrix();
    applyPlacement();
    beginStates();
    material.apply();
    material.bindTexture();
    glCallList(displayList);
    endStates();
    glPopMatrix();
}

bool MeshElement::smoothsPolygons() const {
    return material.isOpaque() && material.getTransparency() < 0.0f && smooth;
}

// A mesh that is not opaque is added onto what lies behind it, seen from both sides, and
// hides nothing.
void MeshElement::beginStates() const {
    if (smoothsPolygons()) {
        glEnable(GL_POLYGON_SMOOTH);
    }
    if (!material.isOpaque()) {
        glDisable(GL_CULL_FACE);
        glDepthMask(GL_FALSE);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    }
    if (drawMode == drawFlat) {
        glShadeModel(GL_FLAT);
    } else if (drawMode == drawWireframe) {
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
        glDisable(GL_LIGHTING);
    }
}

// Back to the renderer's resting state, in the reverse order; texturing stays as the material
// bound it.
void MeshElement::endStates() const {
    if (drawMode == drawFlat) {
        glShadeModel(GL_SMOOTH);
    } else if (drawMode == drawWireframe) {
        glEnable(GL_LIGHTING);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    }
    if (!material.isOpaque()) {
        glEnable(GL_CULL_FACE);
        glDepthMask(GL_TRUE);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    if (smoothsPolygons()) {
        glDisable(GL_POLYGON_SMOOTH);
    }
}

void MeshElement::setMaterial(const Material& newMaterial) {
    material = newMaterial;
}

bool MeshElement::setTexture(const std::string& fileName) {
    return material.loadTexture(fileName, meshTextureFilter);
}

} // namespace velmorra
