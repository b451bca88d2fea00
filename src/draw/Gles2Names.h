#pragma once

// The layer's own names translated to OpenGL ES 2's, for the gles2 backend's sources only.

#include "draw/Context.h"
#include "draw/Features.h"
#include "draw/RasterState.h"
#include "draw/Textures.h"

namespace velmorra::draw {

unsigned int esName(BlendFactor factor);
unsigned int esName(DepthCompare compare);
unsigned int esName(Face face);
int esName(TextureFilter filter);
unsigned int esName(ContextString which);
// The features OpenGL ES keeps itself (depth test, culling, blending); 0 for the others, which
// the shaders' uniforms hold.
unsigned int esCapability(Feature feature);

} // namespace velmorra::draw
