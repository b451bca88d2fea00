#include "draw/Immediate.h"

#include "draw/ActiveBackend.h"

namespace velmorra::draw {

void begin(Primitive primitive) {
    activeBackend().begin(primitive);
}

void end() {
    activeBackend().end();
}

void vertex(float x, float y) {
    activeBackend().vertex(x, y, 0.0f);
}

void vertex(float x, float y, float z) {
    activeBackend().vertex(x, y, z);
}

void normal(float x, float y, float z) {
    activeBackend().normal(x, y, z);
}

void texCoord(float s, float t) {
    activeBackend().texCoord(s, t);
}

void color(float r, float g, float b) {
    activeBackend().color(r, g, b, 1.0f);
}

void color(float r, float g, float b, float a) {
    activeBackend().color(r, g, b, a);
}

} // namespace velmorra::draw
