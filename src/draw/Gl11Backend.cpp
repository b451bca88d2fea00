#include "draw/Gl11Backend.h"

#include "draw/GlNames.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace velmorra::draw {

namespace {

// GL_MAX_TEXTURE_UNITS_ARB, which OpenGL 1.1's header does not name.
constexpr GLenum maxTextureUnitsArb = 0x84E2;

} // namespace

BackendKind Gl11Backend::kind() const {
    return BackendKind::gl11;
}

std::string Gl11Backend::failure() const {
    return {};
}

DrawStatistics Gl11Backend::statistics() const {
    return submitted;
}

void Gl11Backend::enable(Feature feature) {
    glEnable(glName(feature));
}

void Gl11Backend::disable(Feature feature) {
    glDisable(glName(feature));
}

void Gl11Backend::enableLight(int slot) {
    glEnable(lightName(slot));
}

void Gl11Backend::disableLight(int slot) {
    glDisable(lightName(slot));
}

void Gl11Backend::saveFog() {
    glPushAttrib(GL_FOG_BIT);
}

void Gl11Backend::restoreFog() {
    glPopAttrib();
}

void Gl11Backend::blendFunction(BlendFactor source, BlendFactor destination) {
    glBlendFunc(glName(source), glName(destination));
}

void Gl11Backend::depthFunction(DepthCompare compare) {
    glDepthFunc(glName(compare));
}

void Gl11Backend::depthMask(bool write) {
    glDepthMask(write ? GL_TRUE : GL_FALSE);
}

void Gl11Backend::cullFace(Face face) {
    glCullFace(glName(face));
}

void Gl11Backend::shadeModel(Shading shading) {
    glShadeModel(shading == Shading::flat ? GL_FLAT : GL_SMOOTH);
}

void Gl11Backend::polygonMode(PolygonFill fill) {
    glPolygonMode(GL_FRONT_AND_BACK, fill == PolygonFill::lines ? GL_LINE : GL_FILL);
}

void Gl11Backend::pointSize(float size) {
    glPointSize(size);
}

void Gl11Backend::lineWidth(float width) {
    glLineWidth(width);
}

void Gl11Backend::hintNicest(Hint hint) {
    glHint(glName(hint), GL_NICEST);
}

void Gl11Backend::matrixMode(MatrixStack stack) {
    glMatrixMode(glName(stack));
}

void Gl11Backend::loadIdentity() {
    glLoadIdentity();
}

void Gl11Backend::pushMatrix() {
    glPushMatrix();
}

void Gl11Backend::popMatrix() {
    glPopMatrix();
}

void Gl11Backend::loadMatrix(const float* columnMajor) {
    glLoadMatrixf(columnMajor);
}

void Gl11Backend::multiplyMatrix(const float* columnMajor) {
    glMultMatrixf(columnMajor);
}

void Gl11Backend::translate(float x, float y, float z) {
    glTranslatef(x, y, z);
}

void Gl11Backend::ortho(double left, double right, double bottom, double top, double near,
                        double far) {
    glOrtho(left, right, bottom, top, near, far);
}

void Gl11Backend::lookAt(double eyeX, double eyeY, double eyeZ, double centreX, double centreY,
                         double centreZ, double upX, double upY, double upZ) {
    gluLookAt(eyeX, eyeY, eyeZ, centreX, centreY, centreZ, upX, upY, upZ);
}

void Gl11Backend::perspective(double fieldOfViewDegrees, double aspect, double near, double far) {
    gluPerspective(fieldOfViewDegrees, aspect, near, far);
}

Matrix Gl11Backend::currentMatrix(MatrixStack stack) {
    Matrix matrix{};
    glGetFloatv(glMatrixQuery(stack), matrix.data());
    return matrix;
}

void Gl11Backend::begin(Primitive primitive) {
    glBegin(glName(primitive));
}

void Gl11Backend::end() {
    submitted.drawCalls += compiling == 0 ? 1 : 0;
    glEnd();
}

void Gl11Backend::vertex(float x, float y, float z) {
    ++(compiling == 0 ? submitted.vertices : listVertices[compiling]);
    glVertex3f(x, y, z);
}

void Gl11Backend::normal(float x, float y, float z) {
    glNormal3f(x, y, z);
}

void Gl11Backend::texCoord(float s, float t) {
    glTexCoord2f(s, t);
}

void Gl11Backend::color(float r, float g, float b, float a) {
    glColor4f(r, g, b, a);
}

unsigned int Gl11Backend::generateLists(int count) {
    return glGenLists(count);
}

void Gl11Backend::beginList(unsigned int list) {
    compiling = list;
    listVertices[list] = 0;
    glNewList(list, GL_COMPILE);
}

void Gl11Backend::endList() {
    compiling = 0;
    glEndList();
}

void Gl11Backend::callList(unsigned int list) {
    ++submitted.drawCalls;
    const auto found = listVertices.find(list);
    submitted.vertices += found != listVertices.end() ? found->second : 0;
    glCallList(list);
}

void Gl11Backend::deleteLists(unsigned int first, int count) {
    glDeleteLists(first, count);
}

void Gl11Backend::lightFloat(int slot, LightParameter parameter, float value) {
    glLightf(lightName(slot), glName(parameter), value);
}

void Gl11Backend::lightInteger(int slot, LightParameter parameter, int value) {
    glLighti(lightName(slot), glName(parameter), value);
}

void Gl11Backend::lightVector(int slot, LightParameter parameter, const float* values) {
    glLightfv(lightName(slot), glName(parameter), values);
}

void Gl11Backend::materialFloat(MaterialParameter parameter, float value) {
    glMaterialf(GL_FRONT_AND_BACK, glName(parameter), value);
}

void Gl11Backend::materialVector(MaterialParameter parameter, const float* rgba) {
    glMaterialfv(GL_FRONT_AND_BACK, glName(parameter), rgba);
}

void Gl11Backend::lightModelLocalViewer(bool local) {
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, local ? GL_TRUE : GL_FALSE);
}

void Gl11Backend::lightModelTwoSide(bool twoSided) {
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, twoSided ? GL_TRUE : GL_FALSE);
}

void Gl11Backend::lightModelAmbient(const float* rgba) {
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, rgba);
}

unsigned int Gl11Backend::generateTexture() {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    return texture;
}

void Gl11Backend::deleteTexture(unsigned int texture) {
    const GLuint name = texture;
    glDeleteTextures(1, &name);
}

void Gl11Backend::bindTexture(unsigned int texture) {
    glBindTexture(GL_TEXTURE_2D, texture);
}

void Gl11Backend::textureWrap(TextureWrap wrap) {
    const GLint mode = wrap == TextureWrap::clamp ? GL_CLAMP : GL_REPEAT;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, mode);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, mode);
}

void Gl11Backend::magnificationFilter(TextureFilter filter) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, glName(filter));
}

void Gl11Backend::minificationFilter(TextureFilter filter) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, glName(filter));
}

void Gl11Backend::unpackAlignment(int bytes) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, bytes);
}

void Gl11Backend::uploadRgb(int width, int height, const unsigned char* pixels) {
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels);
}

void Gl11Backend::uploadRgbMipmapped(int width, int height, const unsigned char* pixels) {
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB8, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels);
}

int Gl11Backend::maxTextureSize() {
    GLint side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
    return side;
}

void Gl11Backend::textureMode(TextureMode mode) {
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE,
              mode == TextureMode::decal ? GL_DECAL : GL_MODULATE);
}

void Gl11Backend::sphereMapTexGen() {
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
}

void Gl11Backend::compileGlyph(unsigned int list, int width, int height, float originX,
                               float originY, float advance, const unsigned char* rows) {
    unpackAlignment(1);
    glNewList(list, GL_COMPILE);
    glBitmap(width, height, originX, originY, advance, 0.0f, rows);
    glEndList();
}

void Gl11Backend::drawText(int x, int y, unsigned int listBase, const char* text, int length) {
    submitted.drawCalls += static_cast<std::size_t>(length > 0 ? length : 0);
    glPushAttrib(GL_LIST_BIT);
    glRasterPos2i(x, y);
    glListBase(listBase);
    glCallLists(length, GL_UNSIGNED_BYTE, text);
    glPopAttrib();
}

void Gl11Backend::setViewport(const Viewport& viewport) {
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
}

Viewport Gl11Backend::currentViewport() {
    Viewport viewport{};
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    return viewport;
}

void Gl11Backend::clearColor(float r, float g, float b, float a) {
    glClearColor(r, g, b, a);
}

void Gl11Backend::clearDepth(double depth) {
    glClearDepth(depth);
}

void Gl11Backend::clearColorAndDepth() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

const char* Gl11Backend::contextString(ContextString which) {
    return reinterpret_cast<const char*>(glGetString(glName(which)));
}

int Gl11Backend::maxTextureUnits() {
    GLint units = 0;
    glGetIntegerv(maxTextureUnitsArb, &units);
    return units;
}

void Gl11Backend::finish() {
    glFinish();
}

void Gl11Backend::flush() {
    glFlush();
}

void Gl11Backend::readPixels(int width, int height, unsigned char* rgba) {
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}

} // namespace velmorra::draw
