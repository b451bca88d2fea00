#pragma once

#include "fluid/DensityGrid.h"
#include "fluid/FieldKernel.h"
#include "fluid/MarchingCubes.h"
#include "fluid/WorkerPool.h"
#include "math/Random.h"
#include "math/Vector3.h"

#include <array>
#include <atomic>
#include <thread>
#include <span>
#include <vector>

namespace velmorra {

// The liquid without its drawing: particles that attract and repel each other, fall, lose speed
// and bounce inside a box, and the density grid sampled from them after every step. Settings
// survive init and release; the particle arrays and the grid exist only while initialised.
class FluidSimulation {
  public:
    // Ignored when count < 1. Otherwise rebuilds the arrays and the grid and places every
    // particle in [-0.5, 0.5]^3 from three draws of `random`.
    void init(int count, int gridSize, float halfWidth, float halfHeight, float halfDepth,
              Random& random);
    void release();
    // One step of dt: pair forces, integration, box bounce, then the density field and normals.
    void simulate(float dt);

    // Emits every cell's triangles, cells in array order, and returns how many there were.
    // Cells that the surface does not cut are skipped, since they emit nothing. With workers,
    // the cells' edges are cut on the pool's threads, part by part, while the calling thread
    // emits the parts already cut; the sink still gets every triangle from the calling thread,
    // in the same order.
    template <typename Sink> int polygonize(Sink&& sink) {
        const std::span<const GridCell* const> cutCells = grid.findCutCells(isoLevel, fieldWorkers);
        const int parts = beginCutting(cutCells);
        int triangles = 0;
        if (fieldWorkers == nullptr || fieldWorkers->getThreadCount() == 1) {
            for (int part = 0; part < parts; ++part) {
                cutPart(cutCells, part);
                triangles += emitPart(part, sink);
            }
            return triangles;
        }
        int emittedParts = 0;
        const auto emitCutParts = [&] {
            for (; emittedParts < parts && isPartCut(emittedParts); ++emittedParts) {
                triangles += emitPart(emittedParts, sink);
            }
        };
        const std::thread::id caller = std::this_thread::get_id();
        fieldWorkers->run(parts, [&](int part) {
            cutPart(cutCells, part);
            if (std::this_thread::get_id() == caller) {
                emitCutParts();
            }
        });
        emitCutParts();
        return triangles;
    }

    template <typename Sink> int polygonizeCell(const GridCell& cell, Sink&& sink) {
        return polygonizer.polygonizeCell(cell, isoLevel, sink);
    }

    void setIsoLevel(double level) { isoLevel = level; }
    void setGravity(float x, float y, float z) { gravity.set(x, y, z); }
    void setMass(float m) { mass = m; }
    void setRestDistance(float d) { restDistance = d; }
    void setDamping(float k) { damping = k; }
    void setBounds(float xMin, float xMax, float yMin, float yMax, float zMin, float zMax) {
        bounds = {xMin, xMax, yMin, yMax, zMin, zMax};
    }
    // Tests and benchmarks pin the field pass to one kernel; the default is the fastest.
    void setFieldKernel(FieldKernel kernel) { fieldKernel = kernel; }
    // The threads that share the pair forces, the field pass, the normals and the cutting of the
    // surface; null keeps everything on the calling thread. The default is one thread per core.
    void setFieldWorkers(WorkerPool* workers) { fieldWorkers = workers; }

    // The live arrays, valid until the next init or release; callers may write them between
    // steps. Null and 0 while not initialised.
    void getParticles(Vector3*& positionArray, Vector3*& velocityArray, int& count);

    bool isInitialized() const { return initialized; }
    int getParticleCount() const { return particleCount; }
    int getGridSize() const { return grid.getSize(); }
    // Half-diagonal of the grid's box, for the bounding sphere.
    float getRadius() const { return radius; }
    double getIsoLevel() const { return isoLevel; }
    FieldKernel getFieldKernel() const { return fieldKernel; }
    const DensityGrid& getGrid() const { return grid; }
    std::span<const Vector3> getPositions() const { return positions; }
    std::span<const Vector3> getVelocities() const { return velocities; }
    std::span<const Vector3> getForces() const { return forces; }

  private:
    void placeParticles(Random& random);
    void accumulateForces();
    void accumulateForces(int first, int end);
    // Sizes the crossings for these cells and returns into how many parts they are cut.
    int beginCutting(std::span<const GridCell* const> cells);
    void cutPart(std::span<const GridCell* const> cells, int part);
    bool isPartCut(int part) const;
    std::span<const CutCell> cutCellsOfPart(int part) const;
    const EdgeCrossing* crossingsOfPart(int part) const;
    template <typename Sink> int emitPart(int part, Sink& sink) const {
        int triangles = 0;
        const EdgeCrossing* crossings = crossingsOfPart(part);
        for (const CutCell& cell : cutCellsOfPart(part)) {
            triangles += MarchingCubes::emitTriangles(cell, crossings, sink);
        }
        return triangles;
    }
    void integrate(float dt);
    void bounce(float& p, float& v, float low, float high) const;

    std::vector<Vector3> positions;
    std::vector<Vector3> velocities;
    std::vector<Vector3> forces;
    DensityGrid grid;
    MarchingCubes polygonizer;
    // Each part's cells and, from the part's own start, their crossings.
    std::vector<CutCell> cutCellCases;
    std::vector<EdgeCrossing> edgeCrossings;
    // A part is cut in this pass once its entry holds the pass's number.
    std::vector<std::atomic<unsigned>> partsCut;
    unsigned cuttingPass = 0;
    int particleCount = 0;
    float radius = 0.0f;
    float mass = 0.2f;
    float restDistance = 5.0f;
    double isoLevel = 6.0;
    std::array<float, 6> bounds{-1000, 1000, -1000, 1000, -1000, 1000};
    Vector3 gravity{0, -200, 0};
    float damping = 0.95f;
    bool initialized = false;
    FieldKernel fieldKernel = fastestFieldKernel();
    // Without workers every step runs on the calling thread.
    WorkerPool* fieldWorkers = nullptr;
};

} // namespace velmorra
