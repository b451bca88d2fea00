#include "draw/Gles2Names.h"

#include <GLES2/gl2.h>

namespace velmorra::draw {

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

GLenum esName(ContextString which) {
    switch (which) {
    case ContextString::version:
        return GL_VERSION;
    case ContextString::renderer:
        return GL_RENDERER;
    case ContextString::vendor:
        return GL_VENDOR;
    case ContextString::extensions:
        return GL_EXTENSIONS;
    }
    return GL_VERSION;
}

} // namespace velmorra::draw
