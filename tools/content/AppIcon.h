#pragma once

#include "Canvas.h"
#include "content/CoverageMask.h"

namespace velmorra::tools {

// The program's icon for desktop menus: a round window onto the demo's night
// with a drop of its molten liquid in front, shaded with the liquid's own
// sphere map. Each size is painted at that size, not scaled, so that small
// icons stay sharp.
class AppIcon {
  public:
    struct Picture {
        Canvas colour;
        CoverageMask alpha;
    };

    static Picture paint(const Canvas& lavaMap, int size);
};

} // namespace velmorra::tools
