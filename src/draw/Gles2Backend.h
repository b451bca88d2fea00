#pragma once

#include "draw/Backend.h"
#include "draw/DisplayListStore.h"
#include "draw/FixedFunctionProgram.h"
#include "draw/FixedFunctionState.h"
#include "draw/MatrixStacks.h"
#include "draw/RasterText.h"
#include "draw/TextureTable.h"
#include "draw/VertexBatch.h"

#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace velmorra::draw {

// The fixed pipeline's pictures from OpenGL ES 2 (WebGL 1, desktop OpenGL 2.1): the state and
// matrix stacks are kept here, immediate-mode vertices are gathered and drawn in one call per
// run of equal state, display lists are buffers replayed, and text is quads of a glyph atlas.
class Gles2Backend final : public Backend {
  public:
    Gles2Backend();
    ~Gles2Backend() override;
    Gles2Backend(const Gles2Backend&) = delete;
    Gles2Backend& operator=(const Gles2Backend&) = delete;

    BackendKind kind() const override;
    // Why the shaders could not be made (empty when they were).
    std::string failure() const override;
    DrawStatistics statistics() const override;

    void enable(Feature feature) override;
    void disable(Feature feature) override;
    void enableLight(int slot) override;
    void disableLight(int slot) override;
    void saveFog() override;
    void restoreFog() override;
    void blendFunction(BlendFactor source, BlendFactor destination) override;
    void depthFunction(DepthCompare compare) override;
    void depthMask(bool write) override;
    void cullFace(Face face) override;
    void shadeModel(Shading shading) override;
    void polygonMode(PolygonFill fill) override;
    void pointSize(float size) override;
    void lineWidth(float width) override;
    void hintNicest(Hint hint) override;
    void matrixMode(MatrixStack stack) override;
    void loadIdentity() override;
    void pushMatrix() override;
    void popMatrix() override;
    void loadMatrix(const float* columnMajor) override;
    void multiplyMatrix(const float* columnMajor) override;
    void translate(float x, float y, float z) override;
    void ortho(double left, double right, double bottom, double top, double near,
               double far) override;
    void lookAt(double eyeX, double eyeY, double eyeZ, double centreX, double centreY,
                double centreZ, double upX, double upY, double upZ) override;
    void perspective(double fieldOfViewDegrees, double aspect, double near, double far) override;
    Matrix currentMatrix(MatrixStack stack) override;
    void begin(Primitive primitive) override;
    void end() override;
    void vertex(float x, float y, float z) override;
    void normal(float x, float y, float z) override;
    void texCoord(float s, float t) override;
    void color(float r, float g, float b, float a) override;
    unsigned int generateLists(int count) override;
    void beginList(unsigned int list) override;
    void endList() override;
    void callList(unsigned int list) override;
    void deleteLists(unsigned int first, int count) override;
    void lightFloat(int slot, LightParameter parameter, float value) override;
    void lightInteger(int slot, LightParameter parameter, int value) override;
    void lightVector(int slot, LightParameter parameter, const float* values) override;
    void materialFloat(MaterialParameter parameter, float value) override;
    void materialVector(MaterialParameter parameter, const float* rgba) override;
    void lightModelLocalViewer(bool local) override;
    void lightModelTwoSide(bool twoSided) override;
    void lightModelAmbient(const float* rgba) override;
    unsigned int generateTexture() override;
    void deleteTexture(unsigned int texture) override;
    void bindTexture(unsigned int texture) override;
    void textureWrap(TextureWrap wrap) override;
    void magnificationFilter(TextureFilter filter) override;
    void minificationFilter(TextureFilter filter) override;
    void unpackAlignment(int bytes) override;
    void uploadRgb(int width, int height, const unsigned char* pixels) override;
    void uploadRgbMipmapped(int width, int height, const unsigned char* pixels) override;
    int maxTextureSize() override;
    void textureMode(TextureMode mode) override;
    void sphereMapTexGen() override;
    void compileGlyph(unsigned int list, int width, int height, float originX, float originY,
                      float advance, const unsigned char* rows) override;
    void drawText(int x, int y, unsigned int listBase, const char* text, int length) override;
    void setViewport(const Viewport& viewport) override;
    Viewport currentViewport() override;
    void clearColor(float r, float g, float b, float a) override;
    void clearDepth(double depth) override;
    void clearColorAndDepth() override;
    const char* contextString(ContextString which) override;
    int maxTextureUnits() override;
    void finish() override;
    void flush() override;
    void readPixels(int width, int height, unsigned char* rgba) override;

  private:
    // A state change: drawn what is gathered first, or recorded into the list being compiled.
    void change(std::function<void()> apply);
    // Where vertices go: the batch, or the list being compiled.
    VertexBatch& gathering();
    LightState& light(int slot);
    void flushBatch();
    void drawBatch(const VertexBatch& batch, bool ownColor, unsigned int buffer);
    void replay(const RecordedList& list);
    bool texturingApplies() const;
    FragmentRole roleFor(BatchKind kind) const;

    FixedFunctionState state;
    MatrixStacks stacks;
    std::unique_ptr<FixedFunctionProgram> program;
    VertexBatch batch;
    BatchVertex current;
    std::vector<bool> fogSaved;
    Viewport viewport{};
    DisplayListStore lists;
    TextureTable textures;
    RasterText text;
    DrawStatistics submitted;
    // The lines of the last triangles drawn as lines, kept to reuse its memory.
    std::vector<BatchVertex> edges;
};

} // namespace velmorra::draw
