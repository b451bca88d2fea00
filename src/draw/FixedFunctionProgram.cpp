#include "draw/FixedFunctionProgram.h"

#include "draw/FixedFunctionShaders.h"

#include <GLES2/gl2.h>

#include <cmath>
#include <cstddef>
#include <numbers>

namespace velmorra::draw {

namespace {

const char* const uniformNames[] = {
    "uModelview",
    "uProjection",
    "uNormalMatrix",
    "uTextureMatrix",
    "uFlat",
    "uLighting",
    "uNormalize",
    "uColorMaterial",
    "uSphereMap",
    "uLocalViewer",
    "uPointSize",
    "uMaterialAmbient",
    "uMaterialDiffuse",
    "uMaterialSpecular",
    "uMaterialEmission",
    "uShininess",
    "uSceneAmbient",
    "uLightOn",
    "uLightPosition",
    "uLightAmbient",
    "uLightDiffuse",
    "uLightSpecular",
    "uSpotDirection",
    "uSpotExponent",
    "uSpotCosCutoff",
    "uAttenuation",
    "uTexturing",
    "uDecal",
    "uRoundPoints",
    "uGlyph",
    "uTexture",
    "uViewport",
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

} // namespace

FixedFunctionProgram::FixedFunctionProgram() {
    build();
}

FixedFunctionProgram::~FixedFunctionProgram() {
    if (streamBuffer != 0) {
        glDeleteBuffers(1, &streamBuffer);
    }
    if (program != 0) {
        glDeleteProgram(program);
    }
}

bool FixedFunctionProgram::isReady() const {
    return program != 0;
}

const std::string& FixedFunctionProgram::failure() const {
    return error;
}

void FixedFunctionProgram::build() {
    const GLuint vertexShader = compile(GL_VERTEX_SHADER, fixedFunctionVertexShader, error);
    const GLuint fragmentShader =
        vertexShader != 0 ? compile(GL_FRAGMENT_SHADER, fixedFunctionFragmentShader, error) : 0;
    if (fragmentShader == 0) {
        glDeleteShader(vertexShader);
        return;
    }
    program = glCreateProgram();
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
        program = 0;
        return;
    }
    glUseProgram(program);
    locateUniforms();
    glUniform1i(locations[texture], 0);
    glGenBuffers(1, &streamBuffer);
}

void FixedFunctionProgram::locateUniforms() {
    for (int i = 0; i < uniformCount; ++i) {
        locations[i] = glGetUniformLocation(program, uniformNames[i]);
    }
}

void FixedFunctionProgram::apply(const FixedFunctionState& state, const MatrixStacks& stacks,
                                 const std::array<int, 4>& box, bool texturingOn,
                                 FragmentRole role) {
    glUniform4f(locations[viewport], static_cast<float>(box[0]), static_cast<float>(box[1]),
                static_cast<float>(box[2]), static_cast<float>(box[3]));
    const Matrix& view = stacks.top(MatrixStack::modelview);
    glUniformMatrix4fv(locations[modelview], 1, GL_FALSE, view.data());
    glUniformMatrix4fv(locations[projection], 1, GL_FALSE,
                       stacks.top(MatrixStack::projection).data());
    glUniformMatrix3fv(locations[normalMatrix], 1, GL_FALSE,
                       MatrixStacks::normalMatrix(view).data());
    glUniformMatrix4fv(locations[textureMatrix], 1, GL_FALSE,
                       stacks.top(MatrixStack::texture).data());
    const bool lightingOn = state.isEnabled(Feature::lighting) && role == FragmentRole::surface;
    glUniform1i(locations[flat], state.shading == Shading::flat ? 1 : 0);
    glUniform1i(locations[lighting], lightingOn ? 1 : 0);
    glUniform1i(locations[normalize], state.isEnabled(Feature::normalize) ? 1 : 0);
    glUniform1i(locations[colorMaterial], state.isEnabled(Feature::colorMaterial) ? 1 : 0);
    glUniform1i(locations[sphereMap],
                state.isEnabled(Feature::texGenS) && state.isEnabled(Feature::texGenT) ? 1 : 0);
    glUniform1i(locations[localViewer], state.localViewer ? 1 : 0);
    glUniform1f(locations[pointSize], state.pointSize);
    glUniform1i(locations[texturing], texturingOn ? 1 : 0);
    glUniform1i(locations[decal], state.textureMode == TextureMode::decal ? 1 : 0);
    glUniform1i(locations[roundPoints], role == FragmentRole::roundPoints ? 1 : 0);
    glUniform1i(locations[glyph], role == FragmentRole::glyph ? 1 : 0);
    if (lightingOn) {
        applyLights(state);
    }
}

void FixedFunctionProgram::applyLights(const FixedFunctionState& state) const {
    const MaterialState& material = state.material;
    glUniform4fv(locations[materialAmbient], 1, material.ambient.data());
    glUniform4fv(locations[materialDiffuse], 1, material.diffuse.data());
    glUniform4fv(locations[materialSpecular], 1, material.specular.data());
    glUniform4fv(locations[materialEmission], 1, material.emission.data());
    glUniform1f(locations[shininess], material.shininess);
    glUniform4fv(locations[sceneAmbient], 1, state.sceneAmbient.data());
    GLint on[8];
    float positions[32], ambients[32], diffuses[32], speculars[32], directions[24];
    float exponents[8], cosines[8], attenuations[24];
    for (int i = 0; i < 8; ++i) {
        const LightState& light = state.lights[static_cast<std::size_t>(i)];
        on[i] = light.enabled ? 1 : 0;
        for (int c = 0; c < 4; ++c) {
            positions[i * 4 + c] = light.position[static_cast<std::size_t>(c)];
            ambients[i * 4 + c] = light.ambient[static_cast<std::size_t>(c)];
            diffuses[i * 4 + c] = light.diffuse[static_cast<std::size_t>(c)];
            speculars[i * 4 + c] = light.specular[static_cast<std::size_t>(c)];
        }
        for (int c = 0; c < 3; ++c) {
            directions[i * 3 + c] = light.spotDirection[static_cast<std::size_t>(c)];
            attenuations[i * 3 + c] = light.attenuation[static_cast<std::size_t>(c)];
        }
        exponents[i] = light.spotExponent;
        cosines[i] = spotCosine(light.spotCutoff);
    }
    glUniform1iv(locations[lightOn], 8, on);
    glUniform4fv(locations[lightPosition], 8, positions);
    glUniform4fv(locations[lightAmbient], 8, ambients);
    glUniform4fv(locations[lightDiffuse], 8, diffuses);
    glUniform4fv(locations[lightSpecular], 8, speculars);
    glUniform3fv(locations[spotDirection], 8, directions);
    glUniform1fv(locations[spotExponent], 8, exponents);
    glUniform1fv(locations[spotCosCutoff], 8, cosines);
    glUniform3fv(locations[attenuation], 8, attenuations);
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
    if (count == 0) {
        return;
    }
    glBindBuffer(GL_ARRAY_BUFFER, streamBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(count * sizeof(BatchVertex)), vertices,
                 GL_STREAM_DRAW);
    bindAttributes(true, {});
    glDrawArrays(mode(kind), 0, static_cast<GLsizei>(count));
}

void FixedFunctionProgram::drawBuffer(unsigned int buffer, BatchKind kind, std::size_t count,
                                      bool ownColor, const Rgba& currentColor) {
    if (count == 0) {
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
