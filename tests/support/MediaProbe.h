#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmorra::test {

// Reads a media file back with libavformat/libavcodec, as a player would: what streams it has
// and what they decode to.
class MediaProbe {
  public:
    struct Stream {
        bool isVideo = false;
        std::string codec;          // "h264", "aac", "rawvideo", "mp3"
        int width = 0;
        int height = 0;
        std::string pixelFormat;    // "yuv420p"
        double framesPerSecond = 0;
        long packets = 0;           // for video: the number of frames
        double startSeconds = 0;    // when the stream's first frame is presented
        int sampleRate = 0;
        int channels = 0;
    };

    explicit MediaProbe(std::string path);

    bool opened() const { return isOpened; }
    const std::string& format() const { return formatName; }  // "mov,mp4,m4a,3gp,3g2,mj2", "matroska,webm"
    const std::vector<Stream>& streams() const { return found; }
    const Stream* video() const;
    const Stream* audio() const;

    // The sound mixed down to one channel and resampled to `sampleRate`, with the container's
    // start trimming (encoder priming) applied as a player applies it.
    std::vector<float> decodeSound(int sampleRate = 44100) const;
    // Frame `index` as 4:2:0 planes, Y then U then V, without row padding; empty if missing.
    std::vector<std::uint8_t> decodePicture(long index) const;

  private:
    std::string path;
    bool isOpened = false;
    std::string formatName;
    std::vector<Stream> found;
};

} // namespace velmorra::test
