#pragma once

#include "scene/Background.h"
#include "scene/CullResult.h"
#include "scene/Object.h"
#include "scene/SceneState.h"

#include <memory>
#include <vector>

namespace velmorra {

class Camera;
class Element;

// The scene: owns the Objects and the Background, keeps a flat list of all
// their elements and draws them every frame, culled, lit and back to front.
class World {
  public:
    World();
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    // Takes ownership and lists the object's elements as they are now; a null
    // object is ignored.
    void addObject(std::unique_ptr<Object> object);
    // Takes ownership; a background set earlier is destroyed, null clears it.
    void setBackground(std::unique_ptr<Background> newBackground);
    // A 4:3 perspective whatever the window's shape. Leaves the modelview
    // matrix selected and set to the identity.
    void setPerspective(float fovDegrees, float near, float far);
    // The scene pass of one frame, seen through the camera; leaves the
    // modelview matrix selected, holding the camera view.
    void render(Camera* camera);
    // Deletes every object and the background; the World stays usable.
    void clear();

    int getObjectCount() const { return static_cast<int>(objects.size()); }
    int getElementCount() const { return static_cast<int>(elements.size()); }
    // The values of the last render that the elements read (frustum, near distance, camera).
    const SceneState& getSceneState() const { return scene; }
    // In the order the last render sorted them; null outside the list.
    Element* getElement(int index) const;
    const CullResult* getCullResult(int index) const;

  private:
    void rebuildElementList();
    void drawBackground(Camera& camera);
    void extractFrustum();
    void updateTransforms();
    void cullElements();
    void sortByDepth(int first, int last);
    void swapEntries(int a, int b);
    void assignLights();
    void drawElements();

    std::vector<std::unique_ptr<Object>> objects;
    std::vector<Element*> elements; // owned by the objects
    std::unique_ptr<Background> background;
    std::vector<CullResult> cullRecords; // parallel to elements
    SceneState scene;
};

} // namespace velmorra
