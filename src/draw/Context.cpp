#include "draw/Context.h"

#include "draw/GlNames.h"

#include <GL/gl.h>

namespace velmorra::draw {

namespace {

// GL_MAX_TEXTURE_UNITS_ARB, which OpenGL 1.1's header does not name.
constexpr GLenum maxTextureUnitsArb = 0x84E2;

} // namespace

const char* contextString(ContextString which) {
    return reinterpret_cast<const char*>(glGetString(glName(which)));
}

int maxTextureUnits() {
    GLint units = 0;
    glGetIntegerv(maxTextureUnitsArb, &units);
    return units;
}

void finish() {
    glFinish();
}

void flush() {
    glFlush();
}

void readPixels(int width, int height, unsigned char* rgba) {
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}

} // namespace velmorra::draw
