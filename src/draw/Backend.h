#pragma once

#include "draw/BackendKind.h"
#include "draw/Context.h"
#include "draw/Features.h"
#include "draw/Immediate.h"
#include "draw/Lighting.h"
#include "draw/Matrices.h"
#include "draw/RasterState.h"
#include "draw/Textures.h"
#include "draw/View.h"

#include <string>

namespace velmorra::draw {

// One way of drawing: every call of the layer's API, made on the context that is current. The
// layer's free functions forward to the backend the context was started with.
class Backend {
  public:
    virtual ~Backend() = default;

    virtual BackendKind kind() const = 0;
    // Why this backend cannot draw on the context (empty when it can).
    virtual std::string failure() const = 0;
    virtual DrawStatistics statistics() const = 0;

    virtual void enable(Feature feature) = 0;
    virtual void disable(Feature feature) = 0;
    virtual void enableLight(int slot) = 0;
    virtual void disableLight(int slot) = 0;
    virtual void saveFog() = 0;
    virtual void restoreFog() = 0;

    virtual void blendFunction(BlendFactor source, BlendFactor destination) = 0;
    virtual void depthFunction(DepthCompare compare) = 0;
    virtual void depthMask(bool write) = 0;
    virtual void cullFace(Face face) = 0;
    virtual void shadeModel(Shading shading) = 0;
    virtual void polygonMode(PolygonFill fill) = 0;
    virtual void pointSize(float size) = 0;
    virtual void lineWidth(float width) = 0;
    virtual void hintNicest(Hint hint) = 0;

    virtual void matrixMode(MatrixStack stack) = 0;
    virtual void loadIdentity() = 0;
    virtual void pushMatrix() = 0;
    virtual void popMatrix() = 0;
    virtual void loadMatrix(const float* columnMajor) = 0;
    virtual void multiplyMatrix(const float* columnMajor) = 0;
    virtual void translate(float x, float y, float z) = 0;
    virtual void ortho(double left, double right, double bottom, double top, double near,
                       double far) = 0;
    virtual void lookAt(double eyeX, double eyeY, double eyeZ, double centreX, double centreY,
                        double centreZ, double upX, double upY, double upZ) = 0;
    virtual void perspective(double fieldOfViewDegrees, double aspect, double near, double far) = 0;
    virtual Matrix currentMatrix(MatrixStack stack) = 0;

    virtual void begin(Primitive primitive) = 0;
    virtual void end() = 0;
    virtual void vertex(float x, float y, float z) = 0;
    virtual void normal(float x, float y, float z) = 0;
    virtual void texCoord(float s, float t) = 0;
    virtual void color(float r, float g, float b, float a) = 0;

    virtual unsigned int generateLists(int count) = 0;
    virtual void beginList(unsigned int list) = 0;
    virtual void endList() = 0;
    virtual void callList(unsigned int list) = 0;
    virtual void deleteLists(unsigned int first, int count) = 0;

    virtual void lightFloat(int slot, LightParameter parameter, float value) = 0;
    virtual void lightInteger(int slot, LightParameter parameter, int value) = 0;
    virtual void lightVector(int slot, LightParameter parameter, const float* values) = 0;
    virtual void materialFloat(MaterialParameter parameter, float value) = 0;
    virtual void materialVector(MaterialParameter parameter, const float* rgba) = 0;
    virtual void lightModelLocalViewer(bool local) = 0;
    virtual void lightModelTwoSide(bool twoSided) = 0;
    virtual void lightModelAmbient(const float* rgba) = 0;

    virtual unsigned int generateTexture() = 0;
    virtual void deleteTexture(unsigned int texture) = 0;
    virtual void bindTexture(unsigned int texture) = 0;
    virtual void textureWrap(TextureWrap wrap) = 0;
    virtual void magnificationFilter(TextureFilter filter) = 0;
    virtual void minificationFilter(TextureFilter filter) = 0;
    virtual void unpackAlignment(int bytes) = 0;
    virtual void uploadRgb(int width, int height, const unsigned char* pixels) = 0;
    virtual void uploadRgbMipmapped(int width, int height, const unsigned char* pixels) = 0;
    virtual int maxTextureSize() = 0;
    virtual void textureMode(TextureMode mode) = 0;
    virtual void sphereMapTexGen() = 0;

    virtual void compileGlyph(unsigned int list, int width, int height, float originX,
                              float originY, float advance, const unsigned char* rows) = 0;
    virtual void drawText(int x, int y, unsigned int listBase, const char* text, int length) = 0;

    virtual void setViewport(const Viewport& viewport) = 0;
    virtual Viewport currentViewport() = 0;
    virtual void clearColor(float r, float g, float b, float a) = 0;
    virtual void clearDepth(double depth) = 0;
    virtual void clearColorAndDepth() = 0;

    virtual const char* contextString(ContextString which) = 0;
    virtual int maxTextureUnits() = 0;
    virtual void finish() = 0;
    virtual void flush() = 0;
    virtual void readPixels(int width, int height, unsigned char* rgba) = 0;
};

} // namespace velmorra::draw
