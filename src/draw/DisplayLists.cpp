#include "draw/DisplayLists.h"

#include "draw/ActiveBackend.h"

namespace velmorra::draw {

unsigned int generateLists(int count) {
    return activeBackend().generateLists(count);
}

void beginList(unsigned int list) {
    activeBackend().beginList(list);
}

void endList() {
    activeBackend().endList();
}

void callList(unsigned int list) {
    activeBackend().callList(list);
}

void deleteLists(unsigned int first, int count) {
    activeBackend().deleteLists(first, count);
}

} // namespace velmorra::draw
