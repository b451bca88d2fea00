#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmorra::test {

// A screenshot in the X window dump format that `xwd` writes, read as RGB.
class XwdImage {
  public:
    bool load(const std::string& fileName);

    int width() const { return imageWidth; }
    int height() const { return imageHeight; }
    // Pixels whose colour is not black.
    int countLit() const;
    // Share of pixels whose colour differs from the same pixel of `other`.
    double differenceFrom(const XwdImage& other) const;

  private:
    std::vector<std::uint32_t> pixels; // 0x00RRGGBB, top row first
    int imageWidth = 0;
    int imageHeight = 0;
};

} // namespace velmorra::test
