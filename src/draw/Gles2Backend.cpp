#include "draw/Gles2Backend.h"

#include "draw/MipmapChain.h"

#include <GLES2/gl2.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

namespace velmorra::draw {

namespace {

// Desktop OpenGL 2.1 sizes points from the shader and gives them coordinates only when asked;
// OpenGL ES always does both.
constexpr GLenum programPointSize = 0x8642;
constexpr GLenum pointSprite = 0x8861;

GLenum esName(BlendFactor factor) {
    switch (factor) {
    case BlendFactor::one:
        return GL_ONE;
    case BlendFactor::sourceAlpha:
        return GL_SRC_ALPHA;
    case BlendFactor::oneMinusSourceAlpha:
        return GL_ONE_MINUS_SRC_ALPHA;
    }
    return GL_ONE;
}

GLenum esName(DepthCompare compare) {
    switch (compare) {
    case DepthCompare::less:
        return GL_LESS;
    case DepthCompare::lessOrEqual:
        return GL_LEQUAL;
    case DepthCompare::always:
        return GL_ALWAYS;
    }
    return GL_LESS;
}

GLenum esName(Face face) {
    switch (face) {
    case Face::front:
        return GL_FRONT;
    case Face::back:
        return GL_BACK;
    case Face::frontAndBack:
        return GL_FRONT_AND_BACK;
    }
    return GL_BACK;
}

GLint esName(TextureFilter filter) {
    switch (filter) {
    case TextureFilter::nearest:
        return GL_NEAREST;
    case TextureFilter::linear:
        return GL_LINEAR;
    case TextureFilter::linearMipmapNearest:
        return GL_LINEAR_MIPMAP_NEAREST;
    }
    return GL_LINEAR;
}

// The features OpenGL ES keeps itself; the others live in the shaders' uniforms.
GLenum esCapability(Feature feature) {
    switch (feature) {
    case Feature::depthTest:
        return GL_DEPTH_TEST;
    case Feature::cullFace:
        return GL_CULL_FACE;
    case Feature::blending:
        return GL_BLEND;
    default:
        return 0;
    }
}

std::array<float, 4> rgba(const float* values) {
    return {values[0], values[1], values[2], values[3]};
}

} // namespace

Gles2Backend::Gles2Backend() : program(std::make_unique<FixedFunctionProgram>()) {
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (version != nullptr && std::strncmp(version, "OpenGL ES", 9) != 0) {
        glEnable(programPointSize);
        glEnable(pointSprite);
    }
    GLint box[4] = {};
    glGetIntegerv(GL_VIEWPORT, box);
    viewport = {box[0], box[1], box[2], box[3]};
    glDisable(GL_DITHER);
}

Gles2Backend::~Gles2Backend() {
    for (auto& [name, list] : lists) {
        for (auto& command : list.commands) {
            if (const auto* geometry = std::get_if<RecordedGeometry>(&command)) {
                FixedFunctionProgram::release(geometry->buffer);
            }
        }
    }
}

const std::string& Gles2Backend::failure() const {
    return program->failure();
}

std::size_t Gles2Backend::drawCalls() const {
    return calls;
}

std::size_t Gles2Backend::verticesSubmitted() const {
    return vertices;
}

BackendKind Gles2Backend::kind() const {
    return BackendKind::gles2;
}

void Gles2Backend::change(std::function<void()> apply) {
    if (recording != 0) {
        closeRecordedGeometry();
        lists[recording].commands.emplace_back(std::move(apply));
        return;
    }
    flushBatch();
    apply();
}

// The vertices compiled since the list's last state change become one buffer of the list.
void Gles2Backend::closeRecordedGeometry() {
    if (recordingBatch.empty()) {
        return;
    }
    lists[recording].commands.emplace_back(
        RecordedGeometry{FixedFunctionProgram::upload(recordingBatch.vertices().data(),
                                                      recordingBatch.vertices().size()),
                         recordingBatch, recordingColor});
    recordingBatch.clear();
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
    change([this, slot] { state.lights[static_cast<std::size_t>(slot & 7)].enabled = true; });
}

void Gles2Backend::disableLight(int slot) {
    change([this, slot] { state.lights[static_cast<std::size_t>(slot & 7)].enabled = false; });
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
    VertexBatch& target = recording != 0 ? recordingBatch : batch;
    if (!target.empty() && target.kind() != VertexBatch::kindOf(primitive)) {
        if (recording != 0) {
            closeRecordedGeometry();
        } else {
            flushBatch();
        }
    }
    target.begin(primitive);
}

void Gles2Backend::end() {
    (recording != 0 ? recordingBatch : batch).end();
}

void Gles2Backend::vertex(float x, float y, float z) {
    current.position = {x, y, z};
    (recording != 0 ? recordingBatch : batch).add(current);
}

void Gles2Backend::normal(float x, float y, float z) {
    current.normal = {x, y, z};
}

void Gles2Backend::texCoord(float s, float t) {
    current.texCoord = {s, t};
}

void Gles2Backend::color(float r, float g, float b, float a) {
    current.color = {r, g, b, a};
    if (recording != 0) {
        recordingColor = true;
    } else if (state.isEnabled(Feature::colorMaterial)) {
        state.material.ambient = state.material.diffuse = current.color;
    }
}

unsigned int Gles2Backend::generateLists(int count) {
    if (count <= 0) {
        return 0;
    }
    const unsigned int first = nextList;
    nextList += static_cast<unsigned int>(count);
    return first;
}

void Gles2Backend::beginList(unsigned int list) {
    flushBatch();
    deleteLists(list, 1);
    recording = list;
    lists[list];
    recordingBatch.clear();
    recordingColor = false;
}

void Gles2Backend::endList() {
    if (recording == 0) {
        return;
    }
    closeRecordedGeometry();
    recording = 0;
}

void Gles2Backend::callList(unsigned int list) {
    if (recording != 0) {
        change([this, list] { callList(list); });
        return;
    }
    const auto found = lists.find(list);
    if (found != lists.end()) {
        replay(found->second);
    } else if (glyphs.find(list) != nullptr && rasterValid) {
        const char character = 0;
        drawGlyphs(&character, 1, list);
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
        const unsigned int name = first + static_cast<unsigned int>(i);
        const auto found = lists.find(name);
        if (found != lists.end()) {
            for (auto& command : found->second.commands) {
                if (const auto* geometry = std::get_if<RecordedGeometry>(&command)) {
                    FixedFunctionProgram::release(geometry->buffer);
                }
            }
            lists.erase(found);
        }
        glyphs.remove(name);
    }
}

void Gles2Backend::lightFloat(int slot, LightParameter parameter, float value) {
    change([this, slot, parameter, value] {
        LightState& light = state.lights[static_cast<std::size_t>(slot & 7)];
        switch (parameter) {
        case LightParameter::spotExponent:
            light.spotExponent = value;
            break;
        case LightParameter::spotCutoff:
            light.spotCutoff = value;
            break;
        case LightParameter::constantAttenuation:
            light.attenuation[0] = value;
            break;
        case LightParameter::linearAttenuation:
            light.attenuation[1] = value;
            break;
        case LightParameter::quadraticAttenuation:
            light.attenuation[2] = value;
            break;
        default:
            break;
        }
    });
}

void Gles2Backend::lightInteger(int slot, LightParameter parameter, int value) {
    lightFloat(slot, parameter, static_cast<float>(value));
}

// Positions and spot directions go to eye space through the modelview of the moment.
void Gles2Backend::lightVector(int slot, LightParameter parameter, const float* values) {
    const std::array<float, 4> given =
        parameter == LightParameter::spotDirection
            ? std::array<float, 4>{values[0], values[1], values[2], 0.0f}
            : rgba(values);
    change([this, slot, parameter, given] {
        LightState& light = state.lights[static_cast<std::size_t>(slot & 7)];
        const Matrix& view = stacks.top(MatrixStack::modelview);
        switch (parameter) {
        case LightParameter::ambient:
            light.ambient = given;
            break;
        case LightParameter::diffuse:
            light.diffuse = given;
            break;
        case LightParameter::specular:
            light.specular = given;
            break;
        case LightParameter::position:
            light.position = MatrixStacks::transform(view, given);
            break;
        case LightParameter::spotDirection: {
            const std::array<float, 4> eye = MatrixStacks::transform(view, given);
            light.spotDirection = {eye[0], eye[1], eye[2]};
            break;
        }
        default:
            lightFloat(slot, parameter, given[0]);
            break;
        }
    });
}

void Gles2Backend::materialFloat(MaterialParameter parameter, float value) {
    if (parameter == MaterialParameter::shininess) {
        change([this, value] { state.material.shininess = std::clamp(value, 0.0f, 128.0f); });
    }
}

void Gles2Backend::materialVector(MaterialParameter parameter, const float* values) {
    const Rgba given = rgba(values);
    change([this, parameter, given] {
        MaterialState& material = state.material;
        switch (parameter) {
        case MaterialParameter::ambient:
            material.ambient = given;
            break;
        case MaterialParameter::diffuse:
            material.diffuse = given;
            break;
        case MaterialParameter::specular:
            material.specular = given;
            break;
        case MaterialParameter::emission:
            material.emission = given;
            break;
        case MaterialParameter::shininess:
            material.shininess = std::clamp(given[0], 0.0f, 128.0f);
            break;
        }
    });
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
    GLuint texture = 0;
    glGenTextures(1, &texture);
    return texture;
}

void Gles2Backend::deleteTexture(unsigned int texture) {
    if (texture == 0) {
        return;
    }
    flushBatch();
    const GLuint name = texture;
    glDeleteTextures(1, &name);
    textures.erase(texture);
    if (state.boundTexture == texture) {
        state.boundTexture = 0;
    }
}

void Gles2Backend::bindTexture(unsigned int texture) {
    change([this, texture] {
        state.boundTexture = texture;
        glBindTexture(GL_TEXTURE_2D, texture);
    });
}

void Gles2Backend::textureWrap(TextureWrap wrap) {
    change([wrap] {
        const GLint mode = wrap == TextureWrap::clamp ? GL_CLAMP_TO_EDGE : GL_REPEAT;
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, mode);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, mode);
    });
}

void Gles2Backend::magnificationFilter(TextureFilter filter) {
    change([filter] { glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, esName(filter)); });
}

void Gles2Backend::minificationFilter(TextureFilter filter) {
    change([this, filter] {
        textures[state.boundTexture].minifiesWithMipmaps =
            filter == TextureFilter::linearMipmapNearest;
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, esName(filter));
    });
}

void Gles2Backend::unpackAlignment(int bytes) {
    unpackBytes = bytes;
    glPixelStorei(GL_UNPACK_ALIGNMENT, bytes);
}

void Gles2Backend::uploadRgb(int width, int height, const unsigned char* pixels) {
    flushBatch();
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    TextureInfo& info = textures[state.boundTexture];
    info.uploaded = true;
    info.mipmapped = false;
}

void Gles2Backend::uploadRgbMipmapped(int width, int height, const unsigned char* pixels) {
    flushBatch();
    const std::vector<RgbLevel> levels =
        MipmapChain::build(width, height, pixels, maxTextureSize());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (std::size_t level = 0; level < levels.size(); ++level) {
        const RgbLevel& each = levels[level];
        glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), GL_RGB, each.width, each.height, 0,
                     GL_RGB, GL_UNSIGNED_BYTE, each.pixels.data());
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, unpackBytes);
    TextureInfo& info = textures[state.boundTexture];
    info.uploaded = !levels.empty();
    info.mipmapped = true;
}

int Gles2Backend::maxTextureSize() {
    GLint side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
    return side;
}

void Gles2Backend::textureMode(TextureMode mode) {
    change([this, mode] { state.textureMode = mode; });
}

// The only generation the layer offers is the sphere map; enabling texGenS and texGenT is
// what turns it on.
void Gles2Backend::sphereMapTexGen() {}

// As OpenGL 1.1, a texture without its image (or without the mipmaps its filter needs) leaves
// fragments untextured.
bool Gles2Backend::texturingApplies() const {
    if (!state.isEnabled(Feature::texturing)) {
        return false;
    }
    const auto found = textures.find(state.boundTexture);
    if (found == textures.end() || !found->second.uploaded) {
        return false;
    }
    return found->second.mipmapped || !found->second.minifiesWithMipmaps;
}

void Gles2Backend::compileGlyph(unsigned int list, int width, int height, float originX,
                                float originY, float advance, const unsigned char* rows) {
    deleteLists(list, 1);
    glyphs.add(list, width, height, originX, originY, advance, rows);
}

// As the fixed pipeline, text whose raster position falls outside the view is not drawn at
// all, even where its glyphs would reach into it.
void Gles2Backend::drawText(int x, int y, unsigned int listBase, const char* text, int length) {
    flushBatch();
    const std::optional<std::array<float, 3>> position =
        windowPosition(static_cast<float>(x), static_cast<float>(y));
    rasterValid = position.has_value();
    if (!rasterValid) {
        return;
    }
    rasterPosition = *position;
    drawGlyphs(text, length, listBase);
}

// Where the fixed pipeline would put the raster position: through both matrices and the
// viewport, in window pixels and depth; none outside the clip volume.
std::optional<std::array<float, 3>> Gles2Backend::windowPosition(float x, float y) const {
    const Matrix& projection = stacks.top(MatrixStack::projection);
    const Matrix& view = stacks.top(MatrixStack::modelview);
    std::array<double, 4> eye{};
    std::array<double, 4> clip{};
    for (std::size_t row = 0; row < 4; ++row) {
        eye[row] = double{view[row]} * x + double{view[4 + row]} * y + double{view[12 + row]};
    }
    for (std::size_t row = 0; row < 4; ++row) {
        for (std::size_t k = 0; k < 4; ++k) {
            clip[row] += double{projection[k * 4 + row]} * eye[k];
        }
    }
    const double w = clip[3];
    if (std::fabs(clip[0]) > w || std::fabs(clip[1]) > w || std::fabs(clip[2]) > w) {
        return std::nullopt;
    }
    return std::array<float, 3>{
        static_cast<float>(viewport[0] + (clip[0] / w + 1.0) * 0.5 * viewport[2]),
        static_cast<float>(viewport[1] + (clip[1] / w + 1.0) * 0.5 * viewport[3]),
        static_cast<float>((clip[2] / w + 1.0) * 0.5)};
}

// Each glyph is a quad of window pixels at the raster position less its origin, cut from the
// atlas texel for pixel; the raster position then moves on by its advance.
void Gles2Backend::drawGlyphs(const char* text, int length, unsigned int listBase) {
    std::vector<BatchVertex> quads;
    const unsigned int atlas = glyphs.texture();
    const float atlasWidth = static_cast<float>(glyphs.width());
    const float atlasHeight = static_cast<float>(glyphs.height());
    const float depth = 1.0f - 2.0f * rasterPosition[2];
    for (int i = 0; i < length; ++i) {
        const AtlasGlyph* glyph = glyphs.find(listBase + static_cast<unsigned char>(text[i]));
        if (glyph == nullptr) {
            continue;
        }
        // The bitmap's corner is the pixel the raster position less the origin falls in, with
        // the small allowance OpenGL implementations make for rounding.
        constexpr float allowance = 0.0001f;
        const float left = std::floor(rasterPosition[0] + allowance - glyph->originX);
        const float bottom = std::floor(rasterPosition[1] + allowance - glyph->originY);
        const float s0 = static_cast<float>(glyph->atlasX) / atlasWidth;
        const float t0 = static_cast<float>(glyph->atlasY) / atlasHeight;
        const float s1 = static_cast<float>(glyph->atlasX + glyph->width) / atlasWidth;
        const float t1 = static_cast<float>(glyph->atlasY + glyph->height) / atlasHeight;
        const float right = left + static_cast<float>(glyph->width);
        const float top = bottom + static_cast<float>(glyph->height);
        const std::array<std::array<float, 4>, 6> corners = {{{left, bottom, s0, t0},
                                                              {right, bottom, s1, t0},
                                                              {right, top, s1, t1},
                                                              {left, bottom, s0, t0},
                                                              {right, top, s1, t1},
                                                              {left, top, s0, t1}}};
        for (const auto& corner : corners) {
            BatchVertex v = current;
            v.position = {corner[0], corner[1], depth};
            v.texCoord = {corner[2], corner[3]};
            v.flatColor = v.color;
            quads.push_back(v);
        }
        rasterPosition[0] += glyph->advance;
    }
    if (quads.empty()) {
        return;
    }
    MatrixStacks pixels;
    pixels.select(MatrixStack::projection);
    pixels.ortho(viewport[0], viewport[0] + viewport[2], viewport[1], viewport[1] + viewport[3],
                 -1.0, 1.0);
    glBindTexture(GL_TEXTURE_2D, atlas);
    program->apply(state, pixels, viewport, false, FragmentRole::glyph);
    program->draw(BatchKind::triangles, quads.data(), quads.size());
    ++calls;
    vertices += quads.size();
    restoreTextureBinding();
}

void Gles2Backend::restoreTextureBinding() const {
    glBindTexture(GL_TEXTURE_2D, state.boundTexture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, unpackBytes);
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
    switch (which) {
    case ContextString::version:
        return reinterpret_cast<const char*>(glGetString(GL_VERSION));
    case ContextString::renderer:
        return reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    case ContextString::vendor:
        return reinterpret_cast<const char*>(glGetString(GL_VENDOR));
    case ContextString::extensions:
        return reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    }
    return nullptr;
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

// Polygons drawn as lines are culled here, as the fixed pipeline culls them before it draws
// their edges.
void Gles2Backend::drawBatch(const VertexBatch& source, bool ownColor, unsigned int buffer) {
    if (!program->isReady()) {
        return;
    }
    if (source.kind() == BatchKind::triangles && state.fill == PolygonFill::lines) {
        const std::vector<BatchVertex> lines =
            source.edges([this](const BatchVertex* corners) { return keepsPolygon(corners); });
        std::vector<BatchVertex> coloured = lines;
        if (!ownColor) {
            for (BatchVertex& v : coloured) {
                v.color = v.flatColor = current.color;
            }
        }
        program->apply(state, stacks, viewport, texturingApplies(), FragmentRole::surface);
        program->draw(BatchKind::lines, coloured.data(), coloured.size());
        ++calls;
        vertices += coloured.size();
        return;
    }
    program->apply(state, stacks, viewport, texturingApplies(), roleFor(source.kind()));
    if (buffer != 0) {
        program->drawBuffer(buffer, source.kind(), source.vertices().size(), ownColor,
                            current.color);
    } else {
        program->draw(source.kind(), source.vertices().data(), source.vertices().size());
    }
    ++calls;
    vertices += source.vertices().size();
}

bool Gles2Backend::keepsPolygon(const BatchVertex* corners) const {
    if (!state.isEnabled(Feature::cullFace)) {
        return true;
    }
    if (state.culledFace == Face::frontAndBack) {
        return false;
    }
    const Matrix clipFromObject = MatrixStacks::product(stacks.top(MatrixStack::projection),
                                                        stacks.top(MatrixStack::modelview));
    std::array<std::array<float, 2>, 3> window{};
    for (int i = 0; i < 3; ++i) {
        const auto& p = corners[i].position;
        const std::array<float, 4> clip =
            MatrixStacks::transform(clipFromObject, {p[0], p[1], p[2], 1.0f});
        const float w = clip[3] != 0.0f ? clip[3] : 1.0f;
        window[static_cast<std::size_t>(i)] = {clip[0] / w, clip[1] / w};
    }
    const float area = (window[1][0] - window[0][0]) * (window[2][1] - window[0][1]) -
                       (window[2][0] - window[0][0]) * (window[1][1] - window[0][1]);
    const bool front = area > 0.0f;
    return state.culledFace == Face::back ? front : !front;
}

} // namespace velmorra::draw
