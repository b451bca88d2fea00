#pragma once

#include <cstdint>
#include <string>

struct AVFormatContext;
struct AVCodecContext;
struct AVPacket;
struct AVFrame;
struct AVAudioFifo;
struct SwrContext;

namespace velmorra {

// Decodes a music file from its start and hands out its samples as planar float stereo at one
// sample rate, in order. Past the end of the track it gives silence, so the sound of a capture
// never runs short of its pictures.
class MusicDecoder {
  public:
    MusicDecoder() = default;
    ~MusicDecoder();
    MusicDecoder(const MusicDecoder&) = delete;
    MusicDecoder& operator=(const MusicDecoder&) = delete;

    bool open(const std::string& path, int sampleRate, std::string& error);
    // Drops `count` samples: decoding from the start and dropping is exact to the sample, which
    // seeking in a compressed stream is not.
    bool skip(std::int64_t count, std::string& error);
    // Fills `count` samples into each of the two planes.
    bool read(float* left, float* right, int count, std::string& error);

  private:
    bool decodeAtLeast(int count, std::string& error);
    bool decodePacket(std::string& error);
    bool resampleFrame(const AVFrame* frame, std::string& error);
    std::string failure(const std::string& what, int code) const;

    std::string path;
    int sampleRate = 0;
    AVFormatContext* input = nullptr;
    AVCodecContext* decoder = nullptr;
    SwrContext* resampler = nullptr;
    AVAudioFifo* pending = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* decoded = nullptr;
    int streamIndex = -1;
    bool ended = false;
};

} // namespace velmorra
