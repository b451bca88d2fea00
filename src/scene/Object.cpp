#include "scene/Object.h"

#include <algorithm>

namespace velmorra {

Object::Object() {
    frame.reset();
}

// Elements go in insertion order, each through its own destructor, which
// releases it.
Object::~Object() {
    for (auto& element : elements) {
        element.reset();
    }
}

void Object::addElement(std::unique_ptr<Element> element) {
    if (!element) {
        return;
    }
    element->setOwner(&transform);
    elements.push_back(std::move(element));
}

void Object::updateTransform() {
    frame.buildMatrix();
    transform.matrix = frame.getMatrix();
    transform.worldPosition = frame.getOrigin();
}

void Object::setVisible(bool visible) {
    for (const auto& element : elements) {
        element->setVisible(visible);
    }
}

Element* Object::getElement(int index) const {
    if (index < 0 || index >= getElementCount()) {
        return nullptr;
    }
    return elements[static_cast<std::size_t>(index)].get();
}

} // namespace velmorra
