#pragma once

#include <algorithm>

namespace velmorra::tools {

// A linear colour with unbounded float channels; clamped only when written out.
struct Rgb {
    float red = 0.0f;
    float green = 0.0f;
    float blue = 0.0f;

    friend Rgb operator+(Rgb a, Rgb b) {
        return {a.red + b.red, a.green + b.green, a.blue + b.blue};
    }
    friend Rgb operator-(Rgb a, Rgb b) {
        return {a.red - b.red, a.green - b.green, a.blue - b.blue};
    }
    friend Rgb operator*(Rgb a, Rgb b) {
        return {a.red * b.red, a.green * b.green, a.blue * b.blue};
    }
    friend Rgb operator*(Rgb a, float s) { return {a.red * s, a.green * s, a.blue * s}; }
    friend Rgb operator*(float s, Rgb a) { return a * s; }
    Rgb& operator+=(Rgb other) { return *this = *this + other; }

    static Rgb grey(float level) { return {level, level, level}; }
    static Rgb fromBytes(int red, int green, int blue) {
        return {red / 255.0f, green / 255.0f, blue / 255.0f};
    }
    static Rgb mix(Rgb a, Rgb b, float t) { return a + (b - a) * t; }
    float luminance() const { return 0.2126f * red + 0.7152f * green + 0.0722f * blue; }
};

} // namespace velmorra::tools
