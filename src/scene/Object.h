#pragma once

#include "math/CoordFrame.h"
#include "scene/Element.h"
#include "scene/ObjectTransform.h"

#include <memory>
#include <vector>

namespace velmorra {

// Owns a list of elements and places all of them with one frame. The World
// copies the frame into the transform at the start of every render; the
// elements read their placement from that copy.
class Object {
  public:
    Object();
    ~Object();
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    // Takes ownership; a null element is ignored. Add every element before the
    // Object is handed to the World, which lists the elements at that moment.
    void addElement(std::unique_ptr<Element> element);
    void updateTransform();
    void setVisible(bool visible);

    // Moves and turns take effect at the next World render.
    CoordFrame* getFrame() { return &frame; }
    // Null outside 0 ... getElementCount() - 1.
    Element* getElement(int index) const;
    int getElementCount() const { return static_cast<int>(elements.size()); }
    const ObjectTransform& getTransform() const { return transform; }

  private:
    std::vector<std::unique_ptr<Element>> elements;
    CoordFrame frame;
    ObjectTransform transform;
};

} // namespace velmorra
