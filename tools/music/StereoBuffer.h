#pragma once

#include <cstddef>
#include <vector>

namespace velmorra::tools {

// Two channels of float samples at one rate, and the measurements the music
// is checked by.
class StereoBuffer {
  public:
    static constexpr int sampleRate = 44100;

    explicit StereoBuffer(std::size_t frames);

    std::size_t frames() const { return left.size(); }
    static std::size_t frameAt(double seconds);

    // Adds to a frame; frames past the end are dropped, so a note may ring past it.
    void add(std::size_t frame, float leftValue, float rightValue) {
        if (frame < left.size()) {
            left[frame] += leftValue;
            right[frame] += rightValue;
        }
    }
    float leftAt(std::size_t frame) const { return left[frame]; }
    float rightAt(std::size_t frame) const { return right[frame]; }
    void set(std::size_t frame, float leftValue, float rightValue) {
        left[frame] = leftValue;
        right[frame] = rightValue;
    }
    void scale(float factor);

    // The largest magnitude in either channel.
    float peak() const;
    // Root mean square over both channels of [first, last) in dB relative to
    // full scale (a full-scale sine reads -3 dB); -inf for silence.
    double rmsDecibels(std::size_t first, std::size_t last) const;
    // The mean of each channel over the whole buffer.
    double meanLeft() const;
    double meanRight() const;

  private:
    std::vector<float> left;
    std::vector<float> right;
};

} // namespace velmorra::tools
