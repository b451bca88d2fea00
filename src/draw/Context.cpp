#include "draw/Context.h"

#include "draw/ActiveBackend.h"

namespace velmorra::draw {

DrawStatistics statistics() {
    return activeBackend().statistics();
}

const char* contextString(ContextString which) {
    return activeBackend().contextString(which);
}

int maxTextureUnits() {
    return activeBackend().maxTextureUnits();
}

void finish() {
    activeBackend().finish();
}

void flush() {
    activeBackend().flush();
}

void readPixels(int width, int height, unsigned char* rgba) {
    activeBackend().readPixels(width, height, rgba);
}

} // namespace velmorra::draw
