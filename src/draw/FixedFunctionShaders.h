#pragma once

namespace velmorra::draw {

// GLSL ES 1.00 sources that compute what OpenGL 1.1's fixed pipeline computes for the demo:
// per-vertex lighting of up to eight lights, sphere-map texture coordinates, the texture
// environment, round points and bitmap glyphs.
extern const char* const fixedFunctionVertexShader;
extern const char* const fixedFunctionFragmentShader;

} // namespace velmorra::draw
