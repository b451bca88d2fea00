#pragma once

// The fixed GL state the renderer sets once before any scene is drawn, so that
// scene and background tests start where a real frame starts.

#include <GL/gl.h>

namespace velmorra::test {

inline void setRendererBaseline() {
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClearDepth(1.0);
    for (GLenum capability : {GL_DEPTH_TEST, GL_LIGHTING, GL_CULL_FACE, GL_BLEND, GL_TEXTURE_2D}) {
        glEnable(capability);
    }
    for (GLenum capability : {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_POLYGON_SMOOTH, GL_LINE_SMOOTH,
                              GL_POINT_SMOOTH, GL_COLOR_MATERIAL}) {
        glDisable(capability);
    }
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_TRUE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glCullFace(GL_BACK);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

inline GLint integerState(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

inline GLint textureEnvironmentMode() {
    GLint mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    return mode;
}

} // namespace velmorra::test
