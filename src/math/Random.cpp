#include "math/Random.h"

namespace velmorra {

Random& demoRandom() {
    static Random generator;
    return generator;
}

} // namespace velmorra
