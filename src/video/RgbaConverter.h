#pragma once

#include <cstdint>
#include <string>

struct AVFrame;
struct SwsContext;

namespace velmorra {

// Converts frames as GL reads them back (RGBA, rows bottom-up) into the encoders' picture:
// 4:2:0 YUV, BT.709, limited range, chroma sited as MPEG-2 and H.264 expect it by default
// (horizontally on the left sample, vertically between the rows).
class RgbaConverter {
  public:
    RgbaConverter() = default;
    ~RgbaConverter();
    RgbaConverter(const RgbaConverter&) = delete;
    RgbaConverter& operator=(const RgbaConverter&) = delete;

    bool open(int width, int height, std::string& error);

    // The picture stays valid, and unchanged, until the next call.
    const AVFrame* convert(const std::uint8_t* rgbaBottomUp, std::string& error);

  private:
    int width = 0;
    int height = 0;
    SwsContext* scaler = nullptr;
    AVFrame* picture = nullptr;
};

} // namespace velmorra
