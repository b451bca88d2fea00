#include "content/SettingsBanner.h"

#include "content/MetaballPainter.h"
#include "content/SpaceBackdrop.h"

#include <algorithm>

namespace velmorra::tools {

Canvas SettingsBanner::paint(const Canvas& lavaMap, const TextRasterizer& titleFont) {
    Canvas canvas(width, height);
    SpaceBackdrop(101).paint(canvas, 70);
    paintLiquid(canvas, lavaMap);
    paintName(canvas, titleFont);
    return canvas;
}

void SettingsBanner::paintLiquid(Canvas& canvas, const Canvas& lavaMap) {
    const MetaballPainter drop({{{60.0, 72.0, 0.0}, 21.0},
                                {{33.0, 45.0, -4.0}, 10.0},
                                {{89.0, 50.0, 2.0}, 11.0},
                                {{84.0, 104.0, 0.0}, 9.5},
                                {{38.0, 103.0, 3.0}, 8.5},
                                {{61.0, 27.0, -2.0}, 7.0}},
                               lavaMap);
    drop.paint(canvas, 3);
}

// The name reads upwards along the lower part of the banner, in pale steel
// with an ember-coloured halo behind it.
void SettingsBanner::paintName(Canvas& canvas, const TextRasterizer& titleFont) {
    const CoverageMask name =
        titleFont.renderToFit("VELMORRA", 166, 58, 3).rotatedCounterClockwise().padded(12);
    const CoverageMask halo = name.blurred(4);
    const int left = (width - name.getWidth()) / 2;
    const int top = height - 8 - name.getHeight();
    for (int y = 0; y < name.getHeight(); ++y) {
        for (int x = 0; x < name.getWidth(); ++x) {
            const float across = static_cast<float>(x) / static_cast<float>(name.getWidth());
            canvas.add(left + x, top + y, Rgb{1.0f, 0.35f, 0.06f} * (halo.at(x, y) * 1.3f));
            const Rgb steel = Rgb::mix({0.98f, 0.98f, 1.0f}, {0.55f, 0.65f, 0.85f}, across);
            canvas.blend(left + x, top + y, steel, name.at(x, y));
        }
    }
}

} // namespace velmorra::tools
