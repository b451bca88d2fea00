#pragma once

#include <array>

namespace velmorra::draw {

// x, y, width, height in pixels.
using Viewport = std::array<int, 4>;

void setViewport(const Viewport& viewport);
Viewport currentViewport();
// The one place a perspective projection is made: the projection becomes it and the modelview
// the identity, with the modelview stack current afterwards.
void setPerspective(double fieldOfViewDegrees, double aspect, double near, double far);

void clearColor(float r, float g, float b, float a);
void clearDepth(double depth);
// Clears the colour and depth buffers.
void clearColorAndDepth();

} // namespace velmorra::draw
