#pragma once

#include "fluid/FluidSimulation.h"
#include "render/Material.h"
#include "scene/Element.h"

#include <string>

namespace velmorra {

// The liquid in the scene: the particle simulation, and its surface drawn environment-mapped
// where the density crosses the iso level. Settings survive init and release; the particles and
// the grid exist only while initialised.
class FluidElement : public Element {
  public:
    FluidElement() = default;
    ~FluidElement() override;

    // Ignored when count < 1. Otherwise (re)builds the particles in [-0.5, 0.5]^3 and a grid of
    // gridSize^3 samples over the box of the three half extents, which also bounds the element.
    // Re-initialising gives the surface texture back.
    void init(int count, int gridSize, float halfWidth, float halfHeight, float halfDepth,
              Random& random);
    void simulate(float dt) { simulation.simulate(dt); }

    void release() override;
    void render(const SceneState& scene) override;
    void renderGeometry() override {}
    void setPosition(float x, float y, float z) override;
    int getType() const override { return fluidType; }
    // Always reports the near clip distance as its depth, so the liquid is drawn after the
    // meshes behind it.
    CullResult cullTest(const SceneState& scene) const override;

    // The threads that share each step's field and surface; they must outlive the liquid.
    void setFieldWorkers(WorkerPool* workers) { simulation.setFieldWorkers(workers); }
    void setShowParticles(bool value) { showParticles = value; }
    bool isShowingParticles() const { return showParticles; }
    void setAmbient(float r, float g, float b, float a) { material.setAmbient(r, g, b, a); }
    void setDiffuse(float r, float g, float b, float a) { material.setDiffuse(r, g, b, a); }
    void setSpecular(float r, float g, float b, float a) { material.setSpecular(r, g, b, a); }
    void setEmission(float r, float g, float b, float a) { material.setEmission(r, g, b, a); }
    // The environment map: linear filtering, no mipmaps.
    bool setTexture(const std::string& fileName);
    void setIsoLevel(double level) { simulation.setIsoLevel(level); }
    void setGravity(float x, float y, float z) { simulation.setGravity(x, y, z); }
    void setMass(float m) { simulation.setMass(m); }
    void setRestDistance(float d) { simulation.setRestDistance(d); }
    void setDamping(float k) { simulation.setDamping(k); }
    void setBounds(float xMin, float xMax, float yMin, float yMax, float zMin, float zMax) {
        simulation.setBounds(xMin, xMax, yMin, yMax, zMin, zMax);
    }
    // The live arrays, valid until the next init or release.
    void getParticles(Vector3*& positions, Vector3*& velocities, int& count) {
        simulation.getParticles(positions, velocities, count);
    }

    bool isInitialized() const { return simulation.isInitialized(); }
    float getRadius() const { return radius; }
    const Material& getMaterial() const { return material; }
    const FluidSimulation& getSimulation() const { return simulation; }

  private:
    void beginDrawMode() const;
    void endDrawMode() const;
    void drawSurface();
    void drawParticles() const;

    FluidSimulation simulation;
    Material material;
    bool showParticles = false;
};

} // namespace velmorra
