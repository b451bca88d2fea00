#pragma once

namespace velmorra::draw {

enum class Primitive { points, lines, lineStrip, triangles, quads };

// Vertices between begin and end make primitives of one kind; each takes the normal, texture
// coordinate and colour last given.
void begin(Primitive primitive);
void end();
void vertex(float x, float y);
void vertex(float x, float y, float z);
void normal(float x, float y, float z);
void texCoord(float s, float t);
void color(float r, float g, float b);
void color(float r, float g, float b, float a);

} // namespace velmorra::draw
