#include "platform/ShellObjects.h"

namespace velmorra {

ShellObjects& shellObjects() {
    static ShellObjects objects;
    return objects;
}

} // namespace velmorra
