#pragma once

#include "Canvas.h"
#include "content/TextRasterizer.h"

namespace velmorra::tools {

// The 120 x 300 picture at the left of the settings dialog: a night sky, a drop
// of the molten liquid and the demo's name running up the banner.
class SettingsBanner {
  public:
    static constexpr int width = 120;
    static constexpr int height = 300;

    static Canvas paint(const Canvas& lavaMap, const TextRasterizer& titleFont);

  private:
    static void paintLiquid(Canvas& canvas, const Canvas& lavaMap);
    static void paintName(Canvas& canvas, const TextRasterizer& titleFont);
};

} // namespace velmorra::tools
