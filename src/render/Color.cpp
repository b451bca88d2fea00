#include "render/Color.h"

namespace velmorra {

void Color::set(float red, float green, float blue, float alpha) {
    r = red;
    g = green;
    b = blue;
    a = alpha;
}

} // namespace velmorra
