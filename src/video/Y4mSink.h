#pragma once

#include "video/FrameSink.h"

#include <cstdio>
#include <string>

namespace velmorra {

// Uncompressed YUV4MPEG2, 4:2:0 with MPEG-2 chroma siting (the siting the converter produces),
// to a file or to standard output, for piping into any other encoder.
class Y4mSink : public FrameSink {
  public:
    Y4mSink() = default;
    ~Y4mSink() override;
    Y4mSink(const Y4mSink&) = delete;
    Y4mSink& operator=(const Y4mSink&) = delete;

    // `path` "-" writes to standard output; `shownPath` is the name given in errors.
    bool open(const std::string& path, const std::string& shownPath, int width, int height,
              int framesPerSecond, std::string& error);
    bool write(const AVFrame& picture, std::string& error) override;
    bool finish(std::string& error) override;

    static std::string header(int width, int height, int framesPerSecond);

  private:
    bool writePlane(const unsigned char* rows, int stride, int planeWidth, int planeHeight);
    std::string writeError() const;

    std::FILE* file = nullptr;
    bool ownsFile = false;
    std::string shownPath;
};

} // namespace velmorra
