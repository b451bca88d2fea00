#pragma once

#include "math/Vector3.h"
#include "scene/CullResult.h"
#include "scene/ObjectTransform.h"
#include "scene/SceneState.h"

namespace velmorra {

// Anything the World draws: meshes, lights, the fluid. An element sits at
// `position` in its Object's coordinates and is bounded by a sphere around
// `center` (added after rotation, in world orientation) of `radius`.
class Element {
  public:
    // getType answers.
    static constexpr int meshType = 0;
    static constexpr int lightType = 1;
    static constexpr int fluidType = 2;
    // Draw modes.
    static constexpr int drawWireframe = 0;
    static constexpr int drawFlat = 1;
    static constexpr int drawSmooth = 2;

    Element() = default;
    // A subclass gives back its resources in its own destructor through release.
    virtual ~Element() = default;
    Element(const Element&) = delete;
    Element& operator=(const Element&) = delete;

    // Gives back display lists, textures and arrays; a second call does nothing.
    virtual void release() = 0;
    // Draws with material and state under the owner's transform, restoring
    // every GL state it changes. Entered with the camera view on the modelview,
    // during the render pass that `scene` describes.
    virtual void render(const SceneState& scene) = 0;
    // Only the geometry, under the same transform, without state changes.
    virtual void renderGeometry() = 0;
    virtual void setPosition(float x, float y, float z) = 0;
    virtual int getType() const = 0;
    // The frustum test of the bounding sphere against the planes of `scene`, and the
    // depth the World sorts by.
    virtual CullResult cullTest(const SceneState& scene) const = 0;

    void setDrawMode(int mode) { drawMode = mode; }
    int getDrawMode() const { return drawMode; }
    void setVisible(bool value) { visible = value; }
    bool isVisible() const { return visible; }
    void setOwner(const ObjectTransform* transform) { owner = transform; }

  protected:
    // The bounding sphere against the six planes of the current render: culled
    // when it lies wholly outside any of them (touching from outside counts as
    // outside). The depth is the signed distance of the sphere's center from
    // the near plane, from which each subclass derives its own. An element
    // that no Object placed yet is culled.
    CullResult testSphere(const SceneState& scene) const;
    // Multiplies the modelview by the owner's matrix and translates by
    // `position`: the placement every render starts with.
    void applyPlacement() const;
    Vector3 sphereCenter() const;

    Vector3 position;
    Vector3 center;
    float radius = 0.0f;
    bool visible = true;
    bool smooth = false;
    int drawMode = drawSmooth;
    const ObjectTransform* owner = nullptr;
};

} // namespace velmorra
