#include "content/AppIcon.h"

#include "content/MetaballPainter.h"
#include "content/SpaceBackdrop.h"

#include <algorithm>
#include <cmath>

namespace velmorra::tools {

namespace {

constexpr double discRadius = 0.47; // of the icon's size, leaving a margin for the edge
constexpr int metaballSamples = 3;

// Coverage of a pixel by the disc, with a one-pixel soft edge against jaggies.
CoverageMask disc(int size) {
    CoverageMask mask(size, size);
    const double centre = 0.5 * size;
    const double radius = discRadius * size;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double distance = std::hypot(x + 0.5 - centre, y + 0.5 - centre);
            mask.set(x, y, static_cast<float>(std::clamp(radius - distance + 0.5, 0.0, 1.0)));
        }
    }
    return mask;
}

// A glowing rim where the disc meets the desktop, in the liquid's ember colour.
void paintRim(Canvas& canvas) {
    const int size = canvas.getWidth();
    const double centre = 0.5 * size;
    const double radius = discRadius * size;
    const double width = std::max(1.0, 0.035 * size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double inside = radius - std::hypot(x + 0.5 - centre, y + 0.5 - centre);
            const double glow = std::exp(-inside * inside / (width * width));
            canvas.add(x, y, Rgb{1.0f, 0.35f, 0.06f} * static_cast<float>(0.8 * glow));
        }
    }
}

} // namespace

AppIcon::Picture AppIcon::paint(const Canvas& lavaMap, int size) {
    Canvas canvas(size, size);
    const int stars = std::max(4, size * size / 900);
    SpaceBackdrop(211).paint(canvas, stars);
    paintRim(canvas);
    const double s = size;
    const MetaballPainter drop({{{0.48 * s, 0.60 * s, 0.0}, 0.21 * s},
                                {{0.57 * s, 0.32 * s, 0.02 * s}, 0.085 * s},
                                {{0.33 * s, 0.27 * s, 0.0}, 0.045 * s}},
                               lavaMap);
    drop.paint(canvas, metaballSamples);
    return {std::move(canvas), disc(size)};
}

} // namespace velmorra::tools
