#include "draw/Features.h"

#include "draw/ActiveBackend.h"

namespace velmorra::draw {

void enable(Feature feature) {
    activeBackend().enable(feature);
}

void disable(Feature feature) {
    activeBackend().disable(feature);
}

void enableLight(int slot) {
    activeBackend().enableLight(slot);
}

void disableLight(int slot) {
    activeBackend().disableLight(slot);
}

void saveFog() {
    activeBackend().saveFog();
}

void restoreFog() {
    activeBackend().restoreFog();
}

} // namespace velmorra::draw
