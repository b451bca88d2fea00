#pragma once

#include <string>

struct AVFrame;

namespace velmorra {

// Where converted pictures go: a YUV4MPEG2 stream or an encoded media file. Called from the
// encoding thread only; `finish` completes the output (trailer, flush) but does not rename it.
class FrameSink {
  public:
    virtual ~FrameSink() = default;
    virtual bool write(const AVFrame& picture, std::string& error) = 0;
    virtual bool finish(std::string& error) = 0;
};

} // namespace velmorra
