#include "draw/DisplayLists.h"

#include <GL/gl.h>

namespace velmorra::draw {

unsigned int generateLists(int count) {
    return glGenLists(count);
}

void beginList(unsigned int list) {
    glNewList(list, GL_COMPILE);
}

void endList() {
    glEndList();
}

void callList(unsigned int list) {
    glCallList(list);
}

void deleteLists(unsigned int first, int count) {
    glDeleteLists(first, count);
}

} // namespace velmorra::draw
