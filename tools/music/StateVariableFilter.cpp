#include "music/StateVariableFilter.h"

#include "music/StereoBuffer.h"

#include <algorithm>
#include <cmath>

namespace velmorra::tools {

void StateVariableFilter::setCutoff(double hertz, double resonance) {
    const double nyquistSafe = std::clamp(hertz, 10.0, 0.45 * StereoBuffer::sampleRate);
    g = std::tan(3.14159265358979323846 * nyquistSafe / StereoBuffer::sampleRate);
    k = 2.0 - 1.95 * std::clamp(resonance, 0.0, 1.0);
    a1 = 1.0 / (1.0 + g * (g + k));
    a2 = g * a1;
    a3 = g * a2;
}

StateVariableFilter::Output StateVariableFilter::process(double input) {
    const double v3 = input - ic2;
    const double v1 = a1 * ic1 + a2 * v3;
    const double v2 = ic2 + a2 * ic1 + a3 * v3;
    ic1 = 2.0 * v1 - ic1;
    ic2 = 2.0 * v2 - ic2;
    return {v2, v1, input - k * v1 - v2};
}

} // namespace velmorra::tools
