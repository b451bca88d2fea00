#include "platform/StartView.h"

#include "draw/View.h"

namespace velmorra {

void applyStartView(int width, int height) {
    draw::setViewport({0, 0, width, height});
    draw::setPerspective(60.0, static_cast<double>(width) / static_cast<double>(height), 0.5,
                         200.0);
}

} // namespace velmorra
