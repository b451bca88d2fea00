#include "scene/World.h"

#include "math/Camera.h"
#include "render/TexManager.h"
#include "scene/Element.h"
#include "scene/LightSource.h"
#include "scene/SceneState.h"

#include "draw/Features.h"
#include "draw/Matrices.h"
#include "draw/View.h"

#include <cmath>
#include <utility>

namespace velmorra {

namespace {

constexpr int glLightCount = 8;
constexpr double aspectRatio = 1.3333333333333333;

void normalizePlane(FrustumPlane& plane) {
    const float length = std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
    for (float& value : plane) {
        value /= length;
    }
}

} // namespace

// The World lives inside the renderer, a static object. Touching the texture
// cache here constructs the cache first, so it is destroyed after the World
// and every texture the scene still holds is given back to a live cache.
World::World() {
    TexManager::instance();
}

World::~World() {
    clear();
}

void World::addObject(std::unique_ptr<Object> object) {
    if (!object) {
        return;
    }
    objects.push_back(std::move(object));
    rebuildElementList();
}

void World::setBackground(std::unique_ptr<Background> newBackground) {
    background = std::move(newBackground);
}

void World::setPerspective(float fovDegrees, float near, float far) {
    draw::setPerspective(fovDegrees, aspectRatio, near, far);
    scene.nearDistance = near;
}

void World::render(Camera* camera) {
    if (camera == nullptr) {
        return;
    }
    draw::matrixMode(draw::MatrixStack::modelview);
    scene.currentCamera = camera;
    if (background) {
        drawBackground(*camera);
    }
    draw::loadIdentity();
    camera->applyView();
    extractFrustum();
    updateTransforms();
    cullElements();
    sortByDepth(0, getElementCount() - 1);
    assignLights();
    drawElements();
}

void World::clear() {
    objects.clear();
    background.reset();
    elements.clear();
    cullRecords.clear();
}

Element* World::getElement(int index) const {
    if (index < 0 || index >= getElementCount()) {
        return nullptr;
    }
    return elements[static_cast<std::size_t>(index)];
}

const CullResult* World::getCullResult(int index) const {
    if (index < 0 || index >= getElementCount()) {
        return nullptr;
    }
    return &cullRecords[static_cast<std::size_t>(index)];
}

// Sized here, when objects are added, so that a render allocates nothing.
void World::rebuildElementList() {
    elements.clear();
    for (const auto& object : objects) {
        for (int i = 0; i < object->getElementCount(); ++i) {
            elements.push_back(object->getElement(i));
        }
    }
    cullRecords.assign(elements.size(), CullResult{});
}

// Drawn around the viewer with the camera's orientation only, so it turns with
// the camera but never comes nearer, and without depth so it hides nothing.
void World::drawBackground(Camera& camera) {
    draw::disable(draw::Feature::depthTest);
    draw::loadIdentity();
    camera.applyRotationOnly();
    background->render();
    draw::enable(draw::Feature::depthTest);
}

// The modelview holds the camera view alone here, so the planes come out in
// world coordinates.
void World::extractFrustum() {
    const draw::Matrix p = draw::currentMatrix(draw::MatrixStack::projection);
    const draw::Matrix m = draw::currentMatrix(draw::MatrixStack::modelview);
    float clip[16];
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            clip[4 * r + c] = m[4 * r + 0] * p[c] + m[4 * r + 1] * p[4 + c] +
                              m[4 * r + 2] * p[8 + c] + m[4 * r + 3] * p[12 + c];
        }
    }
    auto& planes = scene.frustumPlanes;
    // Column 3 plus or minus column 0 (x), 1 (y) or 2 (z) of clip.
    const auto combine = [&clip](int column, float sign) {
        return FrustumPlane{clip[3] + sign * clip[column], clip[7] + sign * clip[4 + column],
                            clip[11] + sign * clip[8 + column],
                            clip[15] + sign * clip[12 + column]};
    };
    planes[SceneState::rightPlane] = combine(0, -1.0f);
    planes[SceneState::leftPlane] = combine(0, 1.0f);
    planes[SceneState::bottomPlane] = combine(1, 1.0f);
    planes[SceneState::topPlane] = combine(1, -1.0f);
    planes[SceneState::farPlane] = combine(2, -1.0f);
    planes[SceneState::nearPlane] = combine(2, 1.0f);
    for (FrustumPlane& plane : planes) {
        normalizePlane(plane);
    }
}

void World::updateTransforms() {
    for (const auto& object : objects) {
        object->updateTransform();
    }
}

void World::cullElements() {
    for (std::size_t i = 0; i < elements.size(); ++i) {
        cullRecords[i] = elements[i]->cullTest(scene);
    }
}

// Quicksort into descending depth, the cull records and the elements swapped
// together. It starts from the order the previous frame left, which is nearly
// sorted already; scenes hold a handful of elements.
void World::sortByDepth(int first, int last) {
    if (first >= last) {
        return;
    }
    const float pivot = cullRecords[static_cast<std::size_t>(first)].depth;
    const auto depth = [this](int index) {
        return cullRecords[static_cast<std::size_t>(index)].depth;
    };
    int i = first;
    int j = last + 1;
    while (true) {
        do {
            ++i;
        } while (depth(i) > pivot && i < last);
        do {
            --j;
        } while (depth(j) < pivot && j > first);
        if (j <= i) {
            break;
        }
        swapEntries(i, j);
    }
    swapEntries(first, j);
    sortByDepth(first, j - 1);
    sortByDepth(j + 1, last);
}

void World::swapEntries(int a, int b) {
    std::swap(elements[static_cast<std::size_t>(a)], elements[static_cast<std::size_t>(b)]);
    std::swap(cullRecords[static_cast<std::size_t>(a)], cullRecords[static_cast<std::size_t>(b)]);
}

// Lights come from the small-depth end of the sorted list, nearest first; a
// culled or hidden light still lights the scene. Only eight GL lights exist.
void World::assignLights() {
    for (int light = 0; light < glLightCount; ++light) {
        draw::disableLight(light);
    }
    int slot = 0;
    for (int i = getElementCount() - 1; i >= 0 && slot < glLightCount; --i) {
        Element* element = elements[static_cast<std::size_t>(i)];
        if (element->getType() != Element::lightType) {
            continue;
        }
        auto* light = dynamic_cast<LightSource*>(element);
        if (light != nullptr && light->isEnabled()) {
            light->apply(slot);
            ++slot;
        }
    }
}

void World::drawElements() {
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (!cullRecords[i].culled && elements[i]->isVisible()) {
            elements[i]->render(scene);
        }
    }
}

} // namespace velmorra
