#pragma once

namespace velmorra::draw {

enum class BlendFactor { one, sourceAlpha, oneMinusSourceAlpha };
enum class DepthCompare { less, lessOrEqual, always };
enum class Face { front, back, frontAndBack };
enum class Shading { flat, smooth };
// How both faces of a polygon are drawn: filled, or as their edges.
enum class PolygonFill { fill, lines };
enum class Hint { perspectiveCorrection, fog, polygonSmooth, lineSmooth, pointSmooth };

// How what is drawn combines with what lies behind it (while blending is enabled).
void blendFunction(BlendFactor source, BlendFactor destination);
void depthFunction(DepthCompare compare);
void depthMask(bool write);
// The faces culled while face culling is enabled.
void cullFace(Face face);
void shadeModel(Shading shading);
void polygonMode(PolygonFill fill);
void pointSize(float size);
void lineWidth(float width);
// Asks for the best quality the implementation offers.
void hintNicest(Hint hint);

} // namespace velmorra::draw
