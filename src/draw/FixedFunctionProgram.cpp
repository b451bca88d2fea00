#include "draw/FixedFunctionProgram.h"

#include "draw/FixedFunctionShaders.h"

#include <GLES2/gl2.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <numbers>

namespace velmorra::draw {

namespace {

const char* const uniformNames[] = {
    "uModelview",        "uProjection",       "uNormalMatrix",    "uTextureMatrix",
    "uPointSize",        "uViewport",         "uMaterialAmbient", "uMaterialDiffuse",
    "uMaterialSpecular", "uMaterialEmission", "uShininess",       "uSceneAmbient",
    "uLightPosition",    "uLightAmbient",     "uLightDiffuse",    "uLightSpecular",
    "uSpotDirection",    "uSpotExponent",     "uSpotCosCutoff",   "uAttenuation",
    "uTexture",
};

enum Attribute : GLuint {
    positionAttribute,
    normalAttribute,
    texCoordAttribute,
    colorAttribute,
    flatPositionAttribute,
    flatNormalAttribute,
    flatColorAttribute,
    attributeCount
};
const char* const attributeNames[] = {"aPosition",     "aNormal",     "aTexCoord", "aColor",
                                      "aFlatPosition", "aFlatNormal", "aFlatColor"};

struct AttributeLayout {
    GLint size;
    std::size_t offset;
};
const AttributeLayout layouts[] = {
    {3, offsetof(BatchVertex, position)},     {3, offsetof(BatchVertex, normal)},
    {2, offsetof(BatchVertex, texCoord)},     {4, offsetof(BatchVertex, color)},
    {3, offsetof(BatchVertex, flatPosition)}, {3, offsetof(BatchVertex, flatNormal)},
    {4, offsetof(BatchVertex, flatColor)},
};

GLuint compile(GLenum type, const char* source, std::string& error) {
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled != GL_TRUE) {
        char log[1024] = {};
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        error = log;
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

GLenum mode(BatchKind kind) {
    switch (kind) {
    case BatchKind::points:
        return GL_POINTS;
    case BatchKind::lines:
        return GL_LINES;
    case BatchKind::triangles:
        return GL_TRIANGLES;
    }
    return GL_POINTS;
}

// The cosine the shader compares with, or -2 for no spot (a cut-off of 180 degrees).
float spotCosine(float cutoffDegrees) {
    if (cutoffDegrees >= 180.0f) {
        return -2.0f;
    }
    return static_cast<float>(std::cos(cutoffDegrees * std::numbers::pi / 180.0));
}

// Desktop OpenGL 2.1 sizes points from the shader and gives them coordinates only when asked;
// OpenGL ES always does both.
constexpr GLenum programPointSize = 0x8642;
constexpr GLenum pointSprite = 0x8861;

} // namespace

FixedFunctionProgram::FixedFunctionProgram() {
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (version != nullptr && std::strncmp(version, "OpenGL ES", 9) != 0) {
        glEnable(programPointSize);
        glEnable(pointSprite);
    }
    glGenBuffers(1, &streamBuffer);
    variantFor("");
}

FixedFunctionProgram::~FixedFunctionProgram() {
    glDeleteBuffers(1, &streamBuffer);
    for (const auto& [defines, variant] : variants) {
        if (variant.program != 0) {
            glDeleteProgram(variant.program);
        }
    }
}

bool FixedFunctionProgram::isReady() const {
    const auto base = variants.find("");
    return base != variants.end() && base->second.program != 0;
}

const std::string& FixedFunctionProgram::failure() const {
    return error;
}

// Switches that change nothing for a draw are left out, so that draws which differ only in
// them share a program.
std::string FixedFunctionProgram::definesFor(const FixedFunctionState& state, bool texturing,
                                             FragmentRole role) {
    std::string defines;
    const auto define = [&defines](const std::string& name) {
        defines += "#define " + name + "\n";
    };
    const bool lighting = state.isEnabled(Feature::lighting) && role == FragmentRole::surface;
    const bool sphereMap = state.isEnabled(Feature::texGenS) && state.isEnabled(Feature::texGenT);
    if (lighting) {
        int lights = 0;
        for (const LightState& light : state.lights) {
            lights += light.enabled ? 1 : 0;
        }
        define("LIGHTING");
        define("LIGHT_COUNT " + std::to_string(lights));
        if (state.isEnabled(Feature::colorMaterial)) {
            define("COLOR_MATERIAL");
        }
        if (state.localViewer) {
            define("LOCAL_VIEWER");
        }
    }
    if (state.shading == Shading::flat) {
        define("FLAT");
    }
    if ((lighting || sphereMap) && state.isEnabled(Feature::normalize)) {
        define("NORMALIZE");
    }
    if (sphereMap) {
        define("SPHERE_MAP");
    }
    if (texturing && role != FragmentRole::glyph) {
        define("TEXTURING");
        if (state.textureMode == TextureMode::decal) {
            define("DECAL");
        }
    }
    if (role == FragmentRole::roundPoints) {
        define("ROUND_POINTS");
    }
    if (role == FragmentRole::glyph) {
        define("GLYPH");
    }
    return defines;
}

const FixedFunctionProgram::Variant* FixedFunctionProgram::variantFor(const std::string& defines) {
    const auto found = variants.find(defines);
    if (found != variants.end()) {
        return found->second.program != 0 ? &found->second : nullptr;
    }
    Variant& variant = variants[defines];
    variant.program = link(defines);
    if (variant.program == 0) {
        return nullptr;
    }
    glUseProgram(variant.program);
    for (int i = 0; i < uniformCount; ++i) {
        variant.locations[i] = glGetUniformLocation(variant.program, uniformNames[i]);
    }
    glUniform1i(variant.locations[texture], 0);
    active = nullptr;
    return &variant;
}

unsigned int FixedFunctionProgram::link(const std::string& defines) {
    const std::string vertexSource = defines + fixedFunctionVertexShader;
    const std::string fragmentSource = defines + fixedFunctionFragmentShader;
    const GLuint vertexShader = compile(GL_VERTEX_SHADER, vertexSource.c_str(), error);
    const GLuint fragmentShader =
        vertexShader != 0 ? compile(GL_FRAGMENT_SHADER, fragmentSource.c_str(), error) : 0;
    if (fragmentShader == 0) {
        glDeleteShader(vertexShader);
        return 0;
    }
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertexShader);
    glAttachShader(program, fragmentShader);
    for (GLuint attribute = 0; attribute < attributeCount; ++attribute) {
        glBindAttribLocation(program, attribute, attributeNames[attribute]);
    }
    glLinkProgram(program);
    glDeleteShader(vertexShader);
    glDeleteShader(fragmentShader);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        char log[1024] = {};
        glGetProgramInfoLog(program, sizeof log, nullptr, log);
        error = log;
        glDeleteProgram(program);
        return 0;
    }
    return program;
}

void FixedFunctionProgram::apply(const FixedFunctionState& state, const MatrixStacks& stacks,
                                 const std::array<int, 4>& box, bool texturingOn,
                                 FragmentRole role) {
    const Variant* variant = variantFor(definesFor(state, texturingOn, role));
    if (variant == nullptr) {
        active = nullptr;
        return;
    }
    if (variant != active) {
        glUseProgram(variant->program);
        active = variant;
    }
    const int* locations = variant->locations;
    const Matrix& view = stacks.top(MatrixStack::modelview);
    glUniform4f(locations[viewport], static_cast<float>(box[0]), static_cast<float>(box[1]),
                static_cast<float>(box[2]), static_cast<float>(box[3]));
    glUniformMatrix4fv(locations[modelview], 1, GL_FALSE, view.data());
    glUniformMatrix4fv(locations[projection], 1, GL_FALSE,
                       stacks.top(MatrixStack::projection).data());
    glUniformMatrix3fv(locations[normalMatrix], 1, GL_FALSE,
                       MatrixStacks::normalMatrix(view).data());
    glUniformMatrix4fv(locations[textureMatrix], 1, GL_FALSE,
                       stacks.top(MatrixStack::texture).data());
    glUniform1f(locations[pointSize], state.pointSize);
    if (locations[sceneAmbient] >= 0) {
        applyLights(state);
    }
}

// The enabled lights go to the first places of the arrays, in order.
void FixedFunctionProgram::applyLights(const FixedFunctionState& state) const {
    const int* locations = active->locations;
    const MaterialState& material = state.material;
    glUniform4fv(locations[materialAmbient], 1, material.ambient.data());
    glUniform4fv(locations[materialDiffuse], 1, material.diffuse.data());
    glUniform4fv(locations[materialSpecular], 1, material.specular.data());
    glUniform4fv(locations[materialEmission], 1, material.emission.data());
    glUniform1f(locations[shininess], material.shininess);
    glUniform4fv(locations[sceneAmbient], 1, state.sceneAmbient.data());
    float positions[32] = {}, ambients[32] = {}, diffuses[32] = {}, speculars[32] = {};
    float directions[24] = {}, exponents[8] = {}, cosines[8] = {}, attenuations[24] = {};
    int count = 0;
    for (const LightState& light : state.lights) {
        if (!light.enabled) {
            continue;
        }
        for (std::size_t c = 0; c < 4; ++c) {
            positions[count * 4 + static_cast<int>(c)] = light.position[c];
            ambients[count * 4 + static_cast<int>(c)] = light.ambient[c];
            diffuses[count * 4 + static_cast<int>(c)] = light.diffuse[c];
            speculars[count * 4 + static_cast<int>(c)] = light.specular[c];
        }
        for (std::size_t c = 0; c < 3; ++c) {
            directions[count * 3 + static_cast<int>(c)] = light.spotDirection[c];
            attenuations[count * 3 + static_cast<int>(c)] = light.attenuation[c];
        }
        exponents[count] = light.spotExponent;
        cosines[count] = spotCosine(light.spotCutoff);
        ++count;
    }
    if (count == 0) {
        return;
    }
    glUniform4fv(locations[lightPosition], count, positions);
    glUniform4fv(locations[lightAmbient], count, ambients);
    glUniform4fv(locations[lightDiffuse], count, diffuses);
    glUniform4fv(locations[lightSpecular], count, speculars);
    glUniform3fv(locations[spotDirection], count, directions);
    glUniform1fv(locations[spotExponent], count, exponents);
    glUniform1fv(locations[spotCosCutoff], count, cosines);
    glUniform3fv(locations[attenuation], count, attenuations);
}

void FixedFunctionProgram::bindAttributes(bool ownColor, const Rgba& currentColor) const {
    for (GLuint attribute = 0; attribute < attributeCount; ++attribute) {
        const bool constant =
            !ownColor && (attribute == colorAttribute || attribute == flatColorAttribute);
        if (constant) {
            glDisableVertexAttribArray(attribute);
            glVertexAttrib4fv(attribute, currentColor.data());
            continue;
        }
        glEnableVertexAttribArray(attribute);
        glVertexAttribPointer(attribute, layouts[attribute].size, GL_FLOAT, GL_FALSE,
                              sizeof(BatchVertex),
                              reinterpret_cast<const void*>(layouts[attribute].offset));
    }
}

void FixedFunctionProgram::draw(BatchKind kind, const BatchVertex* vertices, std::size_t count) {
    if (count == 0 || active == nullptr) {
        return;
    }
    glBindBuffer(GL_ARRAY_BUFFER, streamBuffer);
    const std::size_t first = streamSpace(count);
    glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(first * sizeof(BatchVertex)),
                    static_cast<GLsizeiptr>(count * sizeof(BatchVertex)), vertices);
    bindAttributes(true, {});
    glDrawArrays(mode(kind), static_cast<GLint>(first), static_cast<GLsizei>(count));
}

// A fresh buffer store for each draw costs the driver an allocation and a free every time;
// draws are written one after another into one store instead, which is replaced (orphaned,
// so that draws still reading the old one keep it) only when it is full or too small.
std::size_t FixedFunctionProgram::streamSpace(std::size_t count) {
    if (count > streamCapacity) {
        streamCapacity = std::max({count, streamCapacity * 2, minimumStreamVertices});
        streamUsed = streamCapacity;
    }
    if (streamUsed + count > streamCapacity) {
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(streamCapacity * sizeof(BatchVertex)),
                     nullptr, GL_STREAM_DRAW);
        streamUsed = 0;
    }
    const std::size_t first = streamUsed;
    streamUsed += count;
    return first;
}

void FixedFunctionProgram::drawBuffer(unsigned int buffer, BatchKind kind, std::size_t count,
                                      bool ownColor, const Rgba& currentColor) {
    if (count == 0 || active == nullptr) {
        return;
    }
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    bindAttributes(ownColor, currentColor);
    glDrawArrays(mode(kind), 0, static_cast<GLsizei>(count));
}

unsigned int FixedFunctionProgram::upload(const BatchVertex* vertices, std::size_t count) {
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(count * sizeof(BatchVertex)), vertices,
                 GL_STATIC_DRAW);
    return buffer;
}

void FixedFunctionProgram::release(unsigned int buffer) {
    const GLuint name = buffer;
    glDeleteBuffers(1, &name);
}

} // namespace velmorra::draw
