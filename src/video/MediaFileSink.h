#pragma once

#include "video/EncodingState.h"
#include "video/FrameSink.h"
#include "video/SoundEncoder.h"
#include "video/VideoWriter.h"

#include <cstdint>
#include <memory>
#include <string>

struct AVCodecContext;
struct AVFormatContext;
struct AVPacket;
struct AVStream;

namespace velmorra {

// An MP4 or Matroska file: the pictures as H.264 (libx264), the music as AAC, interleaved as
// they are made, the sound ending with the last picture.
class MediaFileSink : public FrameSink {
  public:
    // Chosen for throughput: x264 shares two cores with rendering and must keep up with a
    // 1440x1080 capture in real time. "ultrafast" takes about half the processor time of
    // "superfast" or "veryfast" for files two to three times as large; CRF 18 keeps the
    // quality high either way.
    static constexpr const char* preset = "ultrafast";
    static constexpr double constantRateFactor = 18;
    static constexpr int encoderThreads = 2;

    explicit MediaFileSink(EncodingState& state) : state(state) {}
    ~MediaFileSink() override;
    MediaFileSink(const MediaFileSink&) = delete;
    MediaFileSink& operator=(const MediaFileSink&) = delete;

    // `container` is FFmpeg's name for it: "mp4" or "matroska".
    bool open(const VideoSettings& settings, const char* container, const std::string& writtenPath,
              std::string& error);
    bool write(const AVFrame& picture, std::string& error) override;
    bool finish(std::string& error) override;

  private:
    bool openVideoEncoder(const VideoSettings& settings, std::string& error);
    bool openSound(const VideoSettings& settings, std::string& error);
    bool writeHeader(const VideoSettings& settings, const std::string& writtenPath, std::string& error);
    bool drainVideo(std::string& error);
    bool encodeSound(bool last, std::string& error);
    bool writePacket(AVPacket& packet, const AVCodecContext& codec, AVStream& stream,
                     std::string& error);
    std::int64_t soundSamplesForPictures() const;

    EncodingState& state;
    std::string shownPath;
    int framesPerSecond = 30;
    AVFormatContext* output = nullptr;
    AVCodecContext* videoEncoder = nullptr;
    AVStream* videoStream = nullptr;
    AVPacket* packet = nullptr;
    std::unique_ptr<SoundEncoder> sound;
    AVStream* soundStream = nullptr;
    std::int64_t pictures = 0;
    bool headerWritten = false;
};

} // namespace velmorra
