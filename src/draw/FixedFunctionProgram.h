#pragma once

#include "draw/FixedFunctionState.h"
#include "draw/MatrixStacks.h"
#include "draw/VertexBatch.h"

#include <string>

namespace velmorra::draw {

// How a draw's fragments are finished beyond the state: as smooth points, or as glyphs whose
// texture holds coverage.
enum class FragmentRole { surface, roundPoints, glyph };

// The shader program that stands in for the fixed pipeline on OpenGL ES 2, with the buffer
// that streams immediate-mode vertices. Made on the current context; freed with it.
class FixedFunctionProgram {
  public:
    FixedFunctionProgram();
    ~FixedFunctionProgram();
    FixedFunctionProgram(const FixedFunctionProgram&) = delete;
    FixedFunctionProgram& operator=(const FixedFunctionProgram&) = delete;

    bool isReady() const;
    // Why the program could not be made, for the log.
    const std::string& failure() const;

    // The uniforms for the next draws: the state, the stacks' tops and the texture in use.
    void apply(const FixedFunctionState& state, const MatrixStacks& stacks,
               const std::array<int, 4>& viewport, bool texturing, FragmentRole role);
    // Draws vertices held in memory.
    void draw(BatchKind kind, const BatchVertex* vertices, std::size_t count);
    // Draws vertices of a buffer made by upload; without their own colour each takes `color`.
    void drawBuffer(unsigned int buffer, BatchKind kind, std::size_t count, bool ownColor,
                    const Rgba& color);

    static unsigned int upload(const BatchVertex* vertices, std::size_t count);
    static void release(unsigned int buffer);

  private:
    void build();
    void locateUniforms();
    void bindAttributes(bool ownColor, const Rgba& color) const;
    void applyLights(const FixedFunctionState& state) const;

    enum Uniform {
        modelview,
        projection,
        normalMatrix,
        textureMatrix,
        flat,
        lighting,
        normalize,
        colorMaterial,
        sphereMap,
        localViewer,
        pointSize,
        materialAmbient,
        materialDiffuse,
        materialSpecular,
        materialEmission,
        shininess,
        sceneAmbient,
        lightOn,
        lightPosition,
        lightAmbient,
        lightDiffuse,
        lightSpecular,
        spotDirection,
        spotExponent,
        spotCosCutoff,
        attenuation,
        texturing,
        decal,
        roundPoints,
        glyph,
        texture,
        viewport,
        uniformCount
    };

    unsigned int program = 0;
    int locations[uniformCount] = {};
    unsigned int streamBuffer = 0;
    std::string error;
};

} // namespace velmorra::draw
