#include "draw/Gles2Backend.h"

#include "draw/Gles2Names.h"
#include "draw/WireframeEdges.h"

#include <GLES2/gl2.h>

#include <algorithm>

namespace velmorra::draw {

namespace {

std::array<float, 4> rgba(const float* values) {
    return {values[0], values[1], values[2], values[3]};
}

} // namespace

Gles2Backend::Gles2Backend() : program(std::make_unique<FixedFunctionProgram>()) {
    GLint box[4] = {};
    glGetIntegerv(GL_VIEWPORT, box);
    viewport = {box[0], box[1], box[2], box[3]};
    glDisable(GL_DITHER);
}

Gles2Backend::~Gles2Backend() = default;

std::string Gles2Backend::failure() const {
    return program->isReady() ? std::string() : program->failure();
}

DrawStatistics Gles2Backend::statistics() const {
    return submitted;
}

BackendKind Gles2Backend::kind() const {
    return BackendKind::gles2;
}

void Gles2Backend::change(std::function<void()> apply) {
    if (lists.isCompiling()) {
        lists.record(std::move(apply));
        return;
    }
    flushBatch();
    apply();
}

void Gles2Backend::enable(Feature feature) {
    change([this, feature] {
        state.set(feature, true);
        if (esCapability(feature) != 0) {
            glEnable(esCapability(feature));
        }
        if (feature == Feature::colorMaterial) {
            state.material.ambient = state.material.diffuse = current.color;
        }
    });
}

void Gles2Backend::disable(Feature feature) {
    change([this, feature] {
        state.set(feature, false);
        if (esCapability(feature) != 0) {
            glDisable(esCapability(feature));
        }
    });
}

void Gles2Backend::enableLight(int slot) {
    change([this, slot] { light(slot).enabled = true; });
}

void Gles2Backend::disableLight(int slot) {
    change([this, slot] { light(slot).enabled = false; });
}

// Fog is never drawn by this backend; its switch is kept so that it reads back as it was set.
void Gles2Backend::saveFog() {
    change([this] { fogSaved.push_back(state.isEnabled(Feature::fog)); });
}

void Gles2Backend::restoreFog() {
    change([this] {
        if (!fogSaved.empty()) {
            state.set(Feature::fog, fogSaved.back());
            fogSaved.pop_back();
        }
    });
}

void Gles2Backend::blendFunction(BlendFactor source, BlendFactor destination) {
    change([this, source, destination] {
        state.blendSource = source;
        state.blendDestination = destination;
        glBlendFunc(esName(source), esName(destination));
    });
}

void Gles2Backend::depthFunction(DepthCompare compare) {
    change([this, compare] {
        state.depthCompare = compare;
        glDepthFunc(esName(compare));
    });
}

void Gles2Backend::depthMask(bool write) {
    change([this, write] {
        state.depthWrite = write;
        glDepthMask(write ? GL_TRUE : GL_FALSE);
    });
}

void Gles2Backend::cullFace(Face face) {
    change([this, face] {
        state.culledFace = face;
        glCullFace(esName(face));
    });
}

void Gles2Backend::shadeModel(Shading shading) {
    change([this, shading] { state.shading = shading; });
}

void Gles2Backend::polygonMode(PolygonFill fill) {
    change([this, fill] { state.fill = fill; });
}

void Gles2Backend::pointSize(float size) {
    change([this, size] { state.pointSize = size; });
}

void Gles2Backend::lineWidth(float width) {
    change([this, width] {
        state.lineWidth = width;
        GLfloat range[2] = {1.0f, 1.0f};
        glGetFloatv(GL_ALIASED_LINE_WIDTH_RANGE, range);
        glLineWidth(std::clamp(width, range[0], range[1]));
    });
}

void Gles2Backend::hintNicest(Hint) {}

void Gles2Backend::matrixMode(MatrixStack stack) {
    stacks.select(stack);
}

void Gles2Backend::loadIdentity() {
    change([this] { stacks.loadIdentity(); });
}

void Gles2Backend::pushMatrix() {
    change([this] { stacks.push(); });
}

void Gles2Backend::popMatrix() {
    change([this] { stacks.pop(); });
}

void Gles2Backend::loadMatrix(const float* columnMajor) {
    Matrix matrix{};
    std::copy_n(columnMajor, 16, matrix.begin());
    change([this, matrix] { stacks.load(matrix); });
}

void Gles2Backend::multiplyMatrix(const float* columnMajor) {
    Matrix matrix{};
    std::copy_n(columnMajor, 16, matrix.begin());
    change([this, matrix] { stacks.multiply(matrix); });
}

void Gles2Backend::translate(float x, float y, float z) {
    change([this, x, y, z] { stacks.translate(x, y, z); });
}

void Gles2Backend::ortho(double left, double right, double bottom, double top, double near,
                         double far) {
    change([=, this] { stacks.ortho(left, right, bottom, top, near, far); });
}

void Gles2Backend::lookAt(double eyeX, double eyeY, double eyeZ, double centreX, double centreY,
                          double centreZ, double upX, double upY, double upZ) {
    change([=, this] {
        stacks.lookAt({eyeX, eyeY, eyeZ}, {centreX, centreY, centreZ}, {upX, upY, upZ});
    });
}

void Gles2Backend::perspective(double fieldOfViewDegrees, double aspect, double near, double far) {
    change([=, this] { stacks.perspective(fieldOfViewDegrees, aspect, near, far); });
}

Matrix Gles2Backend::currentMatrix(MatrixStack stack) {
    return stacks.top(stack);
}

void Gles2Backend::begin(Primitive primitive) {
    VertexBatch& target = gathering();
    if (!target.empty() && target.kind() != VertexBatch::kindOf(primitive)) {
        if (lists.isCompiling()) {
            lists.closeVertices();
        } else {
            flushBatch();
        }
    }
    target.begin(primitive);
}

void Gles2Backend::end() {
    gathering().end();
}

void Gles2Backend::vertex(float x, float y, float z) {
    current.position = {x, y, z};
    gathering().add(current);
}

VertexBatch& Gles2Backend::gathering() {
    return lists.isCompiling() ? lists.compiledVertices() : batch;
}

void Gles2Backend::normal(float x, float y, float z) {
    current.normal = {x, y, z};
}

void Gles2Backend::texCoord(float s, float t) {
    current.texCoord = {s, t};
}

void Gles2Backend::color(float r, float g, float b, float a) {
    current.color = {r, g, b, a};
    if (lists.isCompiling()) {
        lists.noteColor();
    } else if (state.isEnabled(Feature::colorMaterial)) {
        state.material.ambient = state.material.diffuse = current.color;
    }
}

unsigned int Gles2Backend::generateLists(int count) {
    return lists.generate(count);
}

void Gles2Backend::beginList(unsigned int list) {
    flushBatch();
    text.forget(list);
    lists.begin(list);
}

void Gles2Backend::endList() {
    lists.end();
}

void Gles2Backend::callList(unsigned int list) {
    if (lists.isCompiling()) {
        change([this, list] { callList(list); });
        return;
    }
    if (const RecordedList* recorded = lists.find(list)) {
        replay(*recorded);
    } else if (text.hasGlyph(list)) {
        flushBatch();
        const char character = 0;
        text.draw(&character, 1, list, current, state, viewport, *program, submitted);
    }
}

void Gles2Backend::replay(const RecordedList& list) {
    for (const auto& command : list.commands) {
        if (const auto* geometry = std::get_if<RecordedGeometry>(&command)) {
            flushBatch();
            drawBatch(geometry->batch, geometry->ownColor, geometry->buffer);
        } else {
            std::get<std::function<void()>>(command)();
        }
    }
}

void Gles2Backend::deleteLists(unsigned int first, int count) {
    for (int i = 0; i < count; ++i) {
        lists.remove(first + static_cast<unsigned int>(i));
        text.forget(first + static_cast<unsigned int>(i));
    }
}

void Gles2Backend::lightFloat(int slot, LightParameter parameter, float value) {
    change([this, slot, parameter, value] { light(slot).set(parameter, value); });
}

void Gles2Backend::lightInteger(int slot, LightParameter parameter, int value) {
    lightFloat(slot, parameter, static_cast<float>(value));
}

void Gles2Backend::lightVector(int slot, LightParameter parameter, const float* values) {
    const std::array<float, 4> given = {values[0], values[1], values[2],
                                        parameter == LightParameter::spotDirection ? 0.0f
                                                                                   : values[3]};
    change([this, slot, parameter, given] {
        light(slot).set(parameter, given, stacks.top(MatrixStack::modelview));
    });
}

LightState& Gles2Backend::light(int slot) {
    return state.lights[static_cast<std::size_t>(slot & 7)];
}

void Gles2Backend::materialFloat(MaterialParameter parameter, float value) {
    if (parameter == MaterialParameter::shininess) {
        change([this, value] { state.material.shininess = std::clamp(value, 0.0f, 128.0f); });
    }
}

void Gles2Backend::materialVector(MaterialParameter parameter, const float* values) {
    const Rgba given = rgba(values);
    change([this, parameter, given] { state.material.set(parameter, given); });
}

void Gles2Backend::lightModelLocalViewer(bool local) {
    change([this, local] { state.localViewer = local; });
}

void Gles2Backend::lightModelTwoSide(bool twoSided) {
    change([this, twoSided] { state.twoSided = twoSided; });
}

void Gles2Backend::lightModelAmbient(const float* values) {
    const Rgba given = rgba(values);
    change([this, given] { state.sceneAmbient = given; });
}

unsigned int Gles2Backend::generateTexture() {
    return textures.generate();
}

void Gles2Backend::deleteTexture(unsigned int texture) {
    change([this, texture] {
        textures.remove(texture);
        state.boundTexture = textures.bound();
    });
}

void Gles2Backend::bindTexture(unsigned int texture) {
    change([this, texture] {
        textures.bind(texture);
        state.boundTexture = texture;
    });
}

void Gles2Backend::textureWrap(TextureWrap wrap) {
    change([this, wrap] { textures.wrap(wrap); });
}

void Gles2Backend::magnificationFilter(TextureFilter filter) {
    change([this, filter] { textures.magnification(filter); });
}

void Gles2Backend::minificationFilter(TextureFilter filter) {
    change([this, filter] { textures.minification(filter); });
}

void Gles2Backend::unpackAlignment(int bytes) {
    textures.unpackAlignment(bytes);
}

void Gles2Backend::uploadRgb(int width, int height, const unsigned char* pixels) {
    flushBatch();
    textures.uploadRgb(width, height, pixels);
}

void Gles2Backend::uploadRgbMipmapped(int width, int height, const unsigned char* pixels) {
    flushBatch();
    textures.uploadRgbMipmapped(width, height, pixels);
}

int Gles2Backend::maxTextureSize() {
    return TextureTable::maxSize();
}

void Gles2Backend::textureMode(TextureMode mode) {
    change([this, mode] { state.textureMode = mode; });
}

// The only generation the layer offers is the sphere map; enabling texGenS and texGenT is
// what turns it on.
void Gles2Backend::sphereMapTexGen() {}

bool Gles2Backend::texturingApplies() const {
    return state.isEnabled(Feature::texturing) && textures.boundIsComplete();
}

void Gles2Backend::compileGlyph(unsigned int list, int width, int height, float originX,
                                float originY, float advance, const unsigned char* rows) {
    lists.remove(list);
    text.compile(list, width, height, originX, originY, advance, rows);
}

void Gles2Backend::drawText(int x, int y, unsigned int listBase, const char* characters,
                            int length) {
    flushBatch();
    if (text.place(static_cast<float>(x), static_cast<float>(y), stacks, viewport)) {
        text.draw(characters, length, listBase, current, state, viewport, *program, submitted);
    }
}

void Gles2Backend::setViewport(const Viewport& box) {
    change([this, box] {
        viewport = box;
        glViewport(box[0], box[1], box[2], box[3]);
    });
}

Viewport Gles2Backend::currentViewport() {
    return viewport;
}

void Gles2Backend::clearColor(float r, float g, float b, float a) {
    glClearColor(r, g, b, a);
}

void Gles2Backend::clearDepth(double depth) {
    glClearDepthf(static_cast<GLfloat>(depth));
}

void Gles2Backend::clearColorAndDepth() {
    flushBatch();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

const char* Gles2Backend::contextString(ContextString which) {
    return reinterpret_cast<const char*>(glGetString(esName(which)));
}

// The fixed pipeline's texture units do not exist here; one shader texture serves.
int Gles2Backend::maxTextureUnits() {
    return 0;
}

void Gles2Backend::finish() {
    flushBatch();
    glFinish();
}

void Gles2Backend::flush() {
    flushBatch();
    glFlush();
}

void Gles2Backend::readPixels(int width, int height, unsigned char* pixels) {
    flushBatch();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
}

FragmentRole Gles2Backend::roleFor(BatchKind kind) const {
    return kind == BatchKind::points && state.isEnabled(Feature::pointSmooth)
               ? FragmentRole::roundPoints
               : FragmentRole::surface;
}

void Gles2Backend::flushBatch() {
    if (batch.empty()) {
        return;
    }
    drawBatch(batch, true, 0);
    batch.clear();
}

void Gles2Backend::drawBatch(const VertexBatch& source, bool ownColor, unsigned int buffer) {
    if (!program->isReady()) {
        return;
    }
    if (source.kind() == BatchKind::triangles && state.fill == PolygonFill::lines) {
        const WireframeEdges wireframe(state,
                                       MatrixStacks::product(stacks.top(MatrixStack::projection),
                                                             stacks.top(MatrixStack::modelview)));
        wireframe.collect(source, ownColor, current.color, edges);
        program->apply(state, stacks, viewport, texturingApplies(), FragmentRole::surface);
        program->draw(BatchKind::lines, edges.data(), edges.size());
        ++submitted.drawCalls;
        submitted.vertices += edges.size();
        return;
    }
    program->apply(state, stacks, viewport, texturingApplies(), roleFor(source.kind()));
    if (buffer != 0) {
        program->drawBuffer(buffer, source.kind(), source.vertices().size(), ownColor,
                            current.color);
    } else {
        program->draw(source.kind(), source.vertices().data(), source.vertices().size());
    }
    ++submitted.drawCalls;
    submitted.vertices += source.vertices().size();
}

} // namespace velmorra::draw
