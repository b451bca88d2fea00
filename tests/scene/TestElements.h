#pragma once

// Small concrete elements and a background for the scene tests. They record
// what the World asks of them in a shared journal.

#include "scene/Background.h"
#include "scene/Element.h"
#include "scene/LightSource.h"

#include <GL/gl.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace velmorra::test {

struct Journal {
    std::vector<std::string> drawn;
    std::vector<std::string> destroyed;
    std::vector<std::pair<std::string, GLenum>> lights;
};

// Depth like a mesh: the near-plane distance plus the radius. Draws a flat
// unlit square of its colour, two units wide, facing -z.
class TestElement : public Element {
  public:
    TestElement(std::string name, Journal& journal, float radius = 1.0f)
        : name(std::move(name)), journal(journal) {
        this->radius = radius;
    }
    ~TestElement() override { journal.destroyed.push_back(name); }

    void release() override {}
    void render(const SceneState& /*scene*/) override {
        journal.drawn.push_back(name);
        glPushMatrix();
        applyPlacement();
        glGetFloatv(GL_MODELVIEW_MATRIX, modelview.data());
        drawSquare();
        glPopMatrix();
    }
    void renderGeometry() override {}
    void setPosition(float x, float y, float z) override { position.set(x, y, z); }
    int getType() const override { return meshType; }
    CullResult cullTest(const SceneState& scene) const override {
        ++cullTests;
        CullResult result = testSphere(scene);
        result.depth += radius;
        return result;
    }

    void setCenter(float x, float y, float z) { center.set(x, y, z); }
    void setColor(float r, float g, float b) { color = {r, g, b}; }
    CullResult sphereTest(const SceneState& scene) const { return testSphere(scene); }

    std::string name;
    Journal& journal;
    mutable int cullTests = 0;
    std::array<GLfloat, 16> modelview{};

  private:
    void drawSquare() const {
        glDisable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_CULL_FACE);
        glColor3f(color[0], color[1], color[2]);
        glBegin(GL_QUADS);
        glVertex3f(-1.0f, -1.0f, 0.0f);
        glVertex3f(1.0f, -1.0f, 0.0f);
        glVertex3f(1.0f, 1.0f, 0.0f);
        glVertex3f(-1.0f, 1.0f, 0.0f);
        glEnd();
        glEnable(GL_CULL_FACE);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_LIGHTING);
    }

    std::array<float, 3> color{1.0f, 0.0f, 0.0f};
};

// An element of the light type: depth is a thousandth of the near-plane
// distance, and apply switches the GL light on.
class TestLight : public TestElement, public LightSource {
  public:
    TestLight(std::string name, Journal& journal, bool enabled = true)
        : TestElement(std::move(name), journal), enabled(enabled) {}

    int getType() const override { return lightType; }
    CullResult cullTest(const SceneState& scene) const override {
        CullResult result = testSphere(scene);
        result.depth = std::fabs(result.depth) * 0.001f;
        return result;
    }
    bool isEnabled() const override { return enabled; }
    void apply(int slot) override {
        const auto light = static_cast<GLenum>(GL_LIGHT0 + slot);
        journal.lights.emplace_back(name, light);
        glEnable(light);
    }

  private:
    bool enabled;
};

class TestBackground : public Background {
  public:
    explicit TestBackground(Journal& journal, std::string name = "background")
        : journal(journal), name(std::move(name)) {}
    ~TestBackground() override { journal.destroyed.push_back(name); }

    void release() override {}
    void render() override {
        journal.drawn.push_back(name);
        depthTestDuringRender = glIsEnabled(GL_DEPTH_TEST);
        glGetFloatv(GL_MODELVIEW_MATRIX, modelview.data());
    }
    int update() override { return 0; }

    Journal& journal;
    std::string name;
    GLboolean depthTestDuringRender = GL_TRUE;
    std::array<GLfloat, 16> modelview{};
};

} // namespace velmorra::test
