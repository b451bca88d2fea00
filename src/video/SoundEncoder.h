#pragma once

#include "video/MusicDecoder.h"

#include <cstdint>
#include <functional>
#include <string>

struct AVCodecContext;
struct AVFrame;
struct AVPacket;

namespace velmorra {

// The music as AAC (FFmpeg's own encoder, 44.1 kHz stereo), from a given moment of the track,
// encoded exactly as far as the pictures go.
class SoundEncoder {
  public:
    using PacketSink = std::function<bool(AVPacket& packet, std::string& error)>;

    static constexpr int sampleRate = 44100;

    SoundEncoder() = default;
    ~SoundEncoder();
    SoundEncoder(const SoundEncoder&) = delete;
    SoundEncoder& operator=(const SoundEncoder&) = delete;

    // `globalHeader`: the container keeps the codec set-up apart from the packets (MP4, Matroska).
    bool open(const std::string& musicPath, double startSeconds, bool globalHeader, std::string& error);
    const AVCodecContext& context() const { return *encoder; }

    // Encodes whole frames of samples up to `endSample` (counted from the start moment).
    bool encodeUntil(std::int64_t endSample, const PacketSink& deliver, std::string& error);
    // Encodes the rest up to `endSample`, the last frame short, and drains the encoder.
    bool finish(std::int64_t endSample, const PacketSink& deliver, std::string& error);

  private:
    bool encodeFrame(int count, const PacketSink& deliver, std::string& error);
    bool drain(const PacketSink& deliver, std::string& error);

    MusicDecoder music;
    AVCodecContext* encoder = nullptr;
    AVFrame* samples = nullptr;
    AVPacket* packet = nullptr;
    std::int64_t encoded = 0;
};

} // namespace velmorra
