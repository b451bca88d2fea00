#pragma once

// A real GL context in the renderer's resting state, a World with the demo's projection (45
// degrees, near 0.5, far 1000) and a camera at the origin looking along +z, with the log
// open in a fresh current directory for texture files. Shared by the mesh, light and loader
// tests and by the whole-frame test.

#include "math/Camera.h"
#include "render/BmpBuilder.h"
#include "render/TexManager.h"
#include "scene/GlBaseline.h"
#include "scene/MeshElement.h"
#include "scene/Object.h"
#include "scene/World.h"
#include "support/GlTestContext.h"
#include "support/TempDirectory.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <vector>

namespace velmorra::test {

// The file's z-up coordinates of a point given in the scene's y-up ones, so that tests can
// think in scene coordinates while the mesh converts.
inline Vector3 fileCoordinates(const Vector3& scene) {
    return {scene.x, -scene.z, scene.y};
}

// A square of side 2 size in the scene's plane z = 0, facing the camera (towards -z), with
// texture coordinates over the unit square. Two faces, four vertex records.
inline void buildFacingSquare(MeshElement& mesh, float halfSide = 1.0f) {
    const float h = halfSide;
    std::vector<Vector3> vertices = {fileCoordinates({-h, -h, 0}), fileCoordinates({-h, h, 0}),
                                     fileCoordinates({h, -h, 0}), fileCoordinates({h, h, 0})};
    std::vector<TexCoord> texCoords = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};
    std::vector<Face> faces = {{0, 1, 2}, {2, 1, 3}};
    mesh.build(std::move(vertices), std::move(texCoords), std::move(faces));
}

class ElementScene : public testing::Test {
  protected:
    void SetUp() override {
        if (!gl.isReady()) {
            return;
        }
        setRendererBaseline();
        world.setPerspective(45.0f, 0.5f, 1000.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }

    // Hands the element to a new Object at the given world position and the Object to the
    // World; returns the element.
    template <typename Kind> Kind* place(std::unique_ptr<Kind> element, const Vector3& at) {
        Kind* raw = element.get();
        auto object = std::make_unique<Object>();
        object->getFrame()->translateLocal(at.x, at.y, at.z);
        object->addElement(std::move(element));
        objects.push_back(object.get());
        world.addObject(std::move(object));
        return raw;
    }

    // The window pixel where a world point lands; valid after a render, which leaves the
    // camera view on the modelview.
    std::array<int, 2> project(const Vector3& p) const {
        std::array<GLdouble, 16> modelview{};
        std::array<GLdouble, 16> projection{};
        std::array<GLint, 4> viewport{};
        glGetDoublev(GL_MODELVIEW_MATRIX, modelview.data());
        glGetDoublev(GL_PROJECTION_MATRIX, projection.data());
        glGetIntegerv(GL_VIEWPORT, viewport.data());
        GLdouble x = 0;
        GLdouble y = 0;
        GLdouble z = 0;
        gluProject(p.x, p.y, p.z, modelview.data(), projection.data(), viewport.data(), &x, &y, &z);
        return {static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y))};
    }

    // Clears and draws one frame of the World.
    std::vector<std::uint8_t> renderFrame() {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        world.render(&camera);
        return gl.readPixels();
    }

    std::array<int, 3> colorAt(std::vector<std::uint8_t>& pixels, const std::array<int, 2>& at) {
        const std::uint8_t* p = gl.pixelAt(pixels, at[0], at[1]);
        return {p[0], p[1], p[2]};
    }

    GlTestContext gl;
    LogCapture log;
    World world;
    Camera camera;
    std::vector<Object*> objects;
};

} // namespace velmorra::test
