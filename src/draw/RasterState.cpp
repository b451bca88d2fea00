#include "draw/RasterState.h"

#include "draw/ActiveBackend.h"

namespace velmorra::draw {

void blendFunction(BlendFactor source, BlendFactor destination) {
    activeBackend().blendFunction(source, destination);
}

void depthFunction(DepthCompare compare) {
    activeBackend().depthFunction(compare);
}

void depthMask(bool write) {
    activeBackend().depthMask(write);
}

void cullFace(Face face) {
    activeBackend().cullFace(face);
}

void shadeModel(Shading shading) {
    activeBackend().shadeModel(shading);
}

void polygonMode(PolygonFill fill) {
    activeBackend().polygonMode(fill);
}

void pointSize(float size) {
    activeBackend().pointSize(size);
}

void lineWidth(float width) {
    activeBackend().lineWidth(width);
}

void hintNicest(Hint hint) {
    activeBackend().hintNicest(hint);
}

} // namespace velmorra::draw
