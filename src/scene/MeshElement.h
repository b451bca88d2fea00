#pragma once

#include "math/Vector3.h"
#include "render/Material.h"
#include "scene/Element.h"
#include "scene/MeshArrays.h"

#include <string>
#include <vector>

namespace velmorra {

// One triangle mesh read from a 3DS file, compiled once into a display list and drawn with its
// material. Vertices arrive in the file's z-up axes and are kept in the scene's y-up axes.
class MeshElement : public Element {
  public:
    MeshElement() = default;
    ~MeshElement() override;

    void release() override;
    void render(const SceneState& scene) override;
    void renderGeometry() override;
    void setPosition(float x, float y, float z) override;
    int getType() const override { return meshType; }
    // Depth is the distance of the sphere's center from the near plane plus the radius.
    CullResult cullTest(const SceneState& scene) const override;

    // Takes the arrays over, converts the axes, finds the bounds and the smoothed normals and
    // compiles the display list. Missing texture coordinates are zero. Faces that name a vertex
    // the mesh does not have are neither drawn nor counted in the normals. Ignored once built.
    void build(std::vector<Vector3> vertices, std::vector<TexCoord> texCoords,
               std::vector<Face> faces);
    // Replaces the whole material, texture slots included.
    void setMaterial(const Material& newMaterial);
    // Loads the file into the material's first slot, mipmapped; false when the slot is already
    // taken or the file cannot be read.
    bool setTexture(const std::string& fileName);

    bool isBuilt() const { return built; }
    float getRadius() const { return radius; }
    unsigned int getDisplayList() const { return displayList; }
    const Material& getMaterial() const { return material; }
    const std::vector<Vector3>& getVertices() const { return vertices; }
    const std::vector<TexCoord>& getTexCoords() const { return texCoords; }
    const std::vector<Face>& getFaces() const { return faces; }
    const std::vector<Vector3>& getNormals() const { return normals; }

  private:
    void convertAxes();
    void findRadius();
    bool isDrawable(const Face& face) const;
    void compileDisplayList();
    void beginStates() const;
    void endStates() const;
    bool smoothsPolygons() const;

    unsigned int displayList = 0;
    std::vector<Vector3> vertices;
    std::vector<TexCoord> texCoords;
    std::vector<Face> faces;
    std::vector<Vector3> normals;
    Material material;
    bool built = false;
};

} // namespace velmorra
