#pragma once

#include <cmath>

namespace velmorra::tools {

// Oscillator shapes on a phase from 0 to 1. The saw and pulse take off the
// band-limited step correction (polyBLEP), so high notes do not alias badly.
struct Waveforms {
    static double frequency(double pitch) { return 440.0 * std::pow(2.0, (pitch - 69.0) / 12.0); }

    static double sine(double phase) { return std::sin(2.0 * 3.14159265358979323846 * phase); }

    static double saw(double phase, double increment) {
        return 2.0 * phase - 1.0 - stepCorrection(phase, increment);
    }

    static double pulse(double phase, double increment, double width) {
        double shifted = phase + (1.0 - width);
        shifted -= std::floor(shifted);
        return (phase < width ? 1.0 : -1.0) + stepCorrection(phase, increment) -
               stepCorrection(shifted, increment);
    }

    static double triangle(double phase) { return 1.0 - 4.0 * std::fabs(phase - 0.5); }

    // The polynomial residual of a unit step at phase 0.
    static double stepCorrection(double phase, double increment) {
        if (phase < increment) {
            const double t = phase / increment;
            return t + t - t * t - 1.0;
        }
        if (phase > 1.0 - increment) {
            const double t = (phase - 1.0) / increment;
            return t * t + t + t + 1.0;
        }
        return 0.0;
    }

    // Left and right gains for a pan from -1 to 1 at constant power.
    static double leftGain(double pan) {
        return std::cos((pan + 1.0) * 0.25 * 3.14159265358979323846);
    }
    static double rightGain(double pan) {
        return std::sin((pan + 1.0) * 0.25 * 3.14159265358979323846);
    }
};

} // namespace velmorra::tools
