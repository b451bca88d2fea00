#include "music/StereoBuffer.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace velmorra::tools {

StereoBuffer::StereoBuffer(std::size_t frames) : left(frames, 0.0f), right(frames, 0.0f) {}

std::size_t StereoBuffer::frameAt(double seconds) {
    return seconds <= 0.0 ? 0 : static_cast<std::size_t>(std::llround(seconds * sampleRate));
}

void StereoBuffer::scale(float factor) {
    for (std::size_t i = 0; i < left.size(); ++i) {
        left[i] *= factor;
        right[i] *= factor;
    }
}

float StereoBuffer::peak() const {
    float largest = 0.0f;
    for (std::size_t i = 0; i < left.size(); ++i) {
        largest = std::max({largest, std::fabs(left[i]), std::fabs(right[i])});
    }
    return largest;
}

double StereoBuffer::rmsDecibels(std::size_t first, std::size_t last) const {
    last = std::min(last, left.size());
    if (first >= last) {
        return -std::numeric_limits<double>::infinity();
    }
    double sum = 0.0;
    for (std::size_t i = first; i < last; ++i) {
        sum += static_cast<double>(left[i]) * left[i] + static_cast<double>(right[i]) * right[i];
    }
    const double meanSquare = sum / (2.0 * static_cast<double>(last - first));
    return meanSquare > 0.0 ? 10.0 * std::log10(meanSquare)
                            : -std::numeric_limits<double>::infinity();
}

double StereoBuffer::meanLeft() const {
    return left.empty() ? 0.0 : std::accumulate(left.begin(), left.end(), 0.0) / left.size();
}

double StereoBuffer::meanRight() const {
    return right.empty() ? 0.0 : std::accumulate(right.begin(), right.end(), 0.0) / right.size();
}

} // namespace velmorra::tools
