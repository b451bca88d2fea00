#include "draw/GlNames.h"

#include <array>
#include <cstddef>

namespace velmorra::draw {

namespace {

template <typename Name, std::size_t count, typename Enum>
Name lookUp(const std::array<Name, count>& names, Enum value) {
    return names[static_cast<std::size_t>(value)];
}

constexpr std::array<GLenum, 13> features{
    GL_DEPTH_TEST,  GL_LIGHTING,      GL_CULL_FACE,      GL_BLEND,
    GL_TEXTURE_2D,  GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T,  GL_POLYGON_SMOOTH,
    GL_LINE_SMOOTH, GL_POINT_SMOOTH,  GL_COLOR_MATERIAL, GL_NORMALIZE,
    GL_FOG};
constexpr std::array<GLenum, 3> blendFactors{GL_ONE, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA};
constexpr std::array<GLenum, 3> depthCompares{GL_LESS, GL_LEQUAL, GL_ALWAYS};
constexpr std::array<GLenum, 3> faces{GL_FRONT, GL_BACK, GL_FRONT_AND_BACK};
constexpr std::array<GLenum, 5> hints{GL_PERSPECTIVE_CORRECTION_HINT, GL_FOG_HINT,
                                      GL_POLYGON_SMOOTH_HINT, GL_LINE_SMOOTH_HINT,
                                      GL_POINT_SMOOTH_HINT};
constexpr std::array<GLenum, 3> matrixStacks{GL_MODELVIEW, GL_PROJECTION, GL_TEXTURE};
constexpr std::array<GLenum, 3> matrixQueries{GL_MODELVIEW_MATRIX, GL_PROJECTION_MATRIX,
                                              GL_TEXTURE_MATRIX};
constexpr std::array<GLenum, 5> primitives{GL_POINTS, GL_LINES, GL_LINE_STRIP, GL_TRIANGLES,
                                           GL_QUADS};
constexpr std::array<GLenum, 10> lightParameters{GL_AMBIENT,
                                                 GL_DIFFUSE,
                                                 GL_SPECULAR,
                                                 GL_POSITION,
                                                 GL_SPOT_DIRECTION,
                                                 GL_SPOT_EXPONENT,
                                                 GL_SPOT_CUTOFF,
                                                 GL_CONSTANT_ATTENUATION,
                                                 GL_LINEAR_ATTENUATION,
                                                 GL_QUADRATIC_ATTENUATION};
constexpr std::array<GLenum, 5> materialParameters{GL_AMBIENT, GL_DIFFUSE, GL_SPECULAR, GL_EMISSION,
                                                   GL_SHININESS};
constexpr std::array<GLint, 3> textureFilters{GL_NEAREST, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST};
constexpr std::array<GLenum, 4> contextStrings{GL_VERSION, GL_RENDERER, GL_VENDOR, GL_EXTENSIONS};

} // namespace

GLenum glName(Feature feature) {
    return lookUp(features, feature);
}

GLenum glName(BlendFactor factor) {
    return lookUp(blendFactors, factor);
}

GLenum glName(DepthCompare compare) {
    return lookUp(depthCompares, compare);
}

GLenum glName(Face face) {
    return lookUp(faces, face);
}

GLenum glName(Hint hint) {
    return lookUp(hints, hint);
}

GLenum glName(MatrixStack stack) {
    return lookUp(matrixStacks, stack);
}

GLenum glName(Primitive primitive) {
    return lookUp(primitives, primitive);
}

GLenum glName(LightParameter parameter) {
    return lookUp(lightParameters, parameter);
}

GLenum glName(MaterialParameter parameter) {
    return lookUp(materialParameters, parameter);
}

GLint glName(TextureFilter filter) {
    return lookUp(textureFilters, filter);
}

GLenum glName(ContextString which) {
    return lookUp(contextStrings, which);
}

GLenum glMatrixQuery(MatrixStack stack) {
    return lookUp(matrixQueries, stack);
}

GLenum lightName(int slot) {
    return static_cast<GLenum>(GL_LIGHT0 + slot);
}

} // namespace velmorra::draw
