#pragma once

#include "Rgb.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <utility>

namespace velmorra::tools {

// Small shaping helpers shared by the procedural pictures.
inline double smoothstep(double edge0, double edge1, double x) {
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

// A colour ramp through (position, colour) stops given in rising order.
inline Rgb ramp(double x, std::initializer_list<std::pair<double, Rgb>> stops) {
    const auto* previous = stops.begin();
    if (x <= previous->first) {
        return previous->second;
    }
    for (const auto* stop = stops.begin() + 1; stop != stops.end(); ++stop) {
        if (x <= stop->first) {
            const double t = (x - previous->first) / (stop->first - previous->first);
            return Rgb::mix(previous->second, stop->second, static_cast<float>(t));
        }
        previous = stop;
    }
    return previous->second;
}

} // namespace velmorra::tools
