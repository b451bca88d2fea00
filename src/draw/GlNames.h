#pragma once

// The layer's own names translated to OpenGL's, for the layer's sources only.

#include "draw/Context.h"
#include "draw/Features.h"
#include "draw/Immediate.h"
#include "draw/Lighting.h"
#include "draw/Matrices.h"
#include "draw/RasterState.h"
#include "draw/Textures.h"

#include <GL/gl.h>

namespace velmorra::draw {

GLenum glName(Feature feature);
GLenum glName(BlendFactor factor);
GLenum glName(DepthCompare compare);
GLenum glName(Face face);
GLenum glName(Hint hint);
GLenum glName(MatrixStack stack);
GLenum glName(Primitive primitive);
GLenum glName(LightParameter parameter);
GLenum glName(MaterialParameter parameter);
GLint glName(TextureFilter filter);
GLenum glName(ContextString which);
// The query that reads the top of `stack`.
GLenum glMatrixQuery(MatrixStack stack);
// GL_LIGHT0 + slot.
GLenum lightName(int slot);

} // namespace velmorra::draw
