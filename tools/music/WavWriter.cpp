#include "music/WavWriter.h"

#include "ByteSink.h"

#include <algorithm>
#include <cmath>

namespace velmorra::tools {

namespace {

constexpr std::uint16_t channels = 2;
constexpr std::uint16_t bytesPerSample = 2;

void putTag(ByteSink& sink, const char (&tag)[5]) {
    for (int i = 0; i < 4; ++i) {
        sink.put8(static_cast<std::uint8_t>(tag[i]));
    }
}

} // namespace

std::int16_t WavWriter::toSample(float value) {
    if (std::isnan(value)) {
        return 0;
    }
    const float scaled = std::clamp(value * 32767.0f, -32768.0f, 32767.0f);
    return static_cast<std::int16_t>(std::lround(scaled));
}

std::vector<std::uint8_t> WavWriter::encode(const StereoBuffer& buffer) {
    const auto dataSize = static_cast<std::uint32_t>(buffer.frames() * channels * bytesPerSample);
    ByteSink sink;
    putTag(sink, "RIFF");
    sink.put32(headerSize - 8 + dataSize);
    putTag(sink, "WAVE");
    putTag(sink, "fmt ");
    sink.put32(16);
    sink.put16(1); // PCM
    sink.put16(channels);
    sink.put32(StereoBuffer::sampleRate);
    sink.put32(StereoBuffer::sampleRate * channels * bytesPerSample);
    sink.put16(channels * bytesPerSample);
    sink.put16(16);
    putTag(sink, "data");
    sink.put32(dataSize);
    for (std::size_t i = 0; i < buffer.frames(); ++i) {
        sink.put16(static_cast<std::uint16_t>(toSample(buffer.leftAt(i))));
        sink.put16(static_cast<std::uint16_t>(toSample(buffer.rightAt(i))));
    }
    return sink.release();
}

bool WavWriter::write(const StereoBuffer& buffer, const std::string& fileName) {
    return ByteSink::writeFile(fileName, encode(buffer));
}

} // namespace velmorra::tools
