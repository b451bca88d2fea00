#pragma once

namespace velmorra::tools {

// A two-pole state-variable filter (trapezoidal, stable at any cutoff below
// Nyquist) giving low-, band- and high-pass outputs of one input sample.
class StateVariableFilter {
  public:
    struct Output {
        double low = 0.0;
        double band = 0.0;
        double high = 0.0;
    };

    // resonance: 0 for a gentle slope, towards 1 for a sharp peak at the cutoff.
    void setCutoff(double hertz, double resonance);
    Output process(double input);

  private:
    double g = 0.0;
    double k = 2.0;
    double a1 = 1.0;
    double a2 = 0.0;
    double a3 = 0.0;
    double ic1 = 0.0;
    double ic2 = 0.0;
};

} // namespace velmorra::tools
