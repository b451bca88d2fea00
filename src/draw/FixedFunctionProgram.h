#pragma once

#include "draw/FixedFunctionState.h"
#include "draw/MatrixStacks.h"
#include "draw/VertexBatch.h"

#include <cstddef>
#include <map>
#include <string>

namespace velmorra::draw {

// How a draw's fragments are finished beyond the state: as smooth points, or as glyphs whose
// texture holds coverage.
enum class FragmentRole { surface, roundPoints, glyph };

// The shader programs that stand in for the fixed pipeline on OpenGL ES 2, one for each
// combination of switches a draw uses (made when first needed), with the buffer that streams
// immediate-mode vertices. Made on the current context; freed with it.
class FixedFunctionProgram {
  public:
    FixedFunctionProgram();
    ~FixedFunctionProgram();
    FixedFunctionProgram(const FixedFunctionProgram&) = delete;
    FixedFunctionProgram& operator=(const FixedFunctionProgram&) = delete;

    // Whether the shaders compile and link here.
    bool isReady() const;
    // Why they could not be made, for the log.
    const std::string& failure() const;

    // The program and uniforms for the next draws: the state, the stacks' tops and the
    // texture in use.
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
    enum Uniform {
        modelview,
        projection,
        normalMatrix,
        textureMatrix,
        pointSize,
        viewport,
        materialAmbient,
        materialDiffuse,
        materialSpecular,
        materialEmission,
        shininess,
        sceneAmbient,
        lightPosition,
        lightAmbient,
        lightDiffuse,
        lightSpecular,
        spotDirection,
        spotExponent,
        spotCosCutoff,
        attenuation,
        texture,
        uniformCount
    };

    struct Variant {
        unsigned int program = 0;
        int locations[uniformCount] = {};
    };

    // The switches a draw needs, as defines of the shaders' sources.
    static std::string definesFor(const FixedFunctionState& state, bool texturing,
                                  FragmentRole role);
    const Variant* variantFor(const std::string& defines);
    unsigned int link(const std::string& defines);
    void bindAttributes(bool ownColor, const Rgba& color) const;
    void applyLights(const FixedFunctionState& state) const;
    // Room for `count` vertices in the bound stream buffer: the index of the first.
    std::size_t streamSpace(std::size_t count);

    // A few frames' worth of the demo's immediate-mode vertices.
    static constexpr std::size_t minimumStreamVertices = 16384;

    std::map<std::string, Variant> variants;
    const Variant* active = nullptr;
    unsigned int streamBuffer = 0;
    std::size_t streamCapacity = 0; // vertices the stream buffer's store holds
    std::size_t streamUsed = 0;     // of which the draws since it was made have written
    std::string error;
};

} // namespace velmorra::draw
