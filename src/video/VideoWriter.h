#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace velmorra {

struct VideoSettings {
    std::string path;                // "-" = YUV4MPEG2 on standard output; *.y4m; *.mp4; *.mkv
    int width = 0;                   // even, 64..7680
    int height = 0;                  // even
    int framesPerSecond = 30;
    std::string musicPath;           // empty: no sound track (always none for YUV4MPEG2)
    double musicStartSeconds = 0.0;  // offset into the music of the first frame written
};

class FrameQueue;
class EncodingState;
class RgbaConverter;
class FrameSink;

// Turns the frames read back from GL into a video file. The caller only queues frames; the
// colour conversion, the encoders and the file writing run on a thread of their own (x264 adds
// its own), so rendering the next frame overlaps encoding the last ones.
class VideoWriter {
  public:
    VideoWriter();
    ~VideoWriter();                  // abandons an unfinished file (removes the temporary)
    VideoWriter(const VideoWriter&) = delete;
    VideoWriter& operator=(const VideoWriter&) = delete;

    // True for "-", *.y4m, *.mp4, *.mkv (case-insensitive extension). The command line uses it
    // to refuse other names before anything starts.
    static bool isSupportedPath(const std::string& path);

    // Opens the output under a temporary name beside the real one (not for "-"), sets up the
    // encoder(s) and starts the encoding thread(s). False with a one-line reason in `error`
    // (e.g. "cannot write /x/y.mp4: Permission denied", "no H.264 encoder (libx264) available").
    bool open(const VideoSettings& settings, std::string& error);

    // One frame exactly as the drawing layer reads a w x h framebuffer back (RGBA): rows
    // bottom-up, width * 4 bytes each. Returns at once; blocks only while the queue is full.
    // False once the encoder has failed (then `finish` reports why).
    bool writeFrame(std::vector<std::uint8_t>&& rgbaBottomUp);

    // Drains the queue, cuts the sound to the frames written, writes the trailer and renames
    // the temporary file to the real name. Also used after Ctrl+C: what was written so far
    // becomes a playable file.
    bool finish(std::string& error);

    // Where the time went (seconds of thread time), for the capture's summary.
    struct Timings { double convert = 0, encodeVideo = 0, encodeAudio = 0, mux = 0; };
    Timings timings() const;
    long framesWritten() const;

    // The name written to until `finish` succeeds ("<path>.part"); empty for standard output.
    static std::string temporaryPathFor(const std::string& path);

  private:
    void encodeFrames();
    void stopEncoding();
    void abandon();

    VideoSettings settings;
    std::string temporaryPath;
    std::unique_ptr<FrameQueue> queue;
    std::unique_ptr<EncodingState> state;
    std::unique_ptr<RgbaConverter> converter;
    std::unique_ptr<FrameSink> sink;
    std::thread encoder;
    bool isOpen = false;
};

} // namespace velmorra
