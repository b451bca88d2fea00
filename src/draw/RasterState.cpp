#include "draw/RasterState.h"

#include "draw/GlNames.h"

#include <GL/gl.h>

namespace velmorra::draw {

void blendFunction(BlendFactor source, BlendFactor destination) {
    glBlendFunc(glName(source), glName(destination));
}

void depthFunction(DepthCompare compare) {
    glDepthFunc(glName(compare));
}

void depthMask(bool write) {
    glDepthMask(write ? GL_TRUE : GL_FALSE);
}

void cullFace(Face face) {
    glCullFace(glName(face));
}

void shadeModel(Shading shading) {
    glShadeModel(shading == Shading::flat ? GL_FLAT : GL_SMOOTH);
}

void polygonMode(PolygonFill fill) {
    glPolygonMode(GL_FRONT_AND_BACK, fill == PolygonFill::lines ? GL_LINE : GL_FILL);
}

void pointSize(float size) {
    glPointSize(size);
}

void lineWidth(float width) {
    glLineWidth(width);
}

void hintNicest(Hint hint) {
    glHint(glName(hint), GL_NICEST);
}

} // namespace velmorra::draw
