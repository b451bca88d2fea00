#include "draw/Immediate.h"

#include "draw/GlNames.h"

#include <GL/gl.h>

namespace velmorra::draw {

void begin(Primitive primitive) {
    glBegin(glName(primitive));
}

void end() {
    glEnd();
}

void vertex(float x, float y) {
    glVertex2f(x, y);
}

void vertex(float x, float y, float z) {
    glVertex3f(x, y, z);
}

void normal(float x, float y, float z) {
    glNormal3f(x, y, z);
}

void texCoord(float s, float t) {
    glTexCoord2f(s, t);
}

void color(float r, float g, float b) {
    glColor3f(r, g, b);
}

void color(float r, float g, float b, float a) {
    glColor4f(r, g, b, a);
}

} // namespace velmorra::draw
