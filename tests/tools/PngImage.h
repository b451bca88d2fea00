#pragma once

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace velmorra::test {

// Reads back what the content tools' PNG writer makes: 8-bit RGBA, unfiltered
// rows. Every chunk's CRC is checked; `valid` is false at the first fault.
struct PngImage {
    bool valid = false;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;

    std::uint8_t alphaAt(int x, int y) const {
        return rgba[(static_cast<std::size_t>(y) * width + x) * 4 + 3];
    }

    static std::uint32_t big32(const std::uint8_t* p) {
        return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 |
               p[3];
    }

    static PngImage decode(const std::vector<std::uint8_t>& file) {
        static const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
        PngImage image;
        if (file.size() < 8 || !std::equal(signature, signature + 8, file.begin())) {
            return image;
        }
        std::vector<std::uint8_t> packed;
        for (std::size_t at = 8; at + 12 <= file.size();) {
            const std::uint32_t length = big32(&file[at]);
            const std::uint8_t* type = &file[at + 4];
            if (at + 12 + length > file.size() ||
                crc32(0, type, length + 4) != big32(type + 4 + length)) {
                return image;
            }
            const std::string name(type, type + 4);
            if (name == "IHDR") {
                image.width = static_cast<int>(big32(type + 4));
                image.height = static_cast<int>(big32(type + 8));
                if (type[12] != 8 || type[13] != 6) {
                    return image; // not 8-bit RGBA
                }
            } else if (name == "IDAT") {
                packed.insert(packed.end(), type + 4, type + 4 + length);
            } else if (name == "IEND") {
                return image.inflateRows(packed);
            }
            at += 12 + length;
        }
        return image;
    }

  private:
    PngImage& inflateRows(const std::vector<std::uint8_t>& packed) {
        const std::size_t stride = static_cast<std::size_t>(width) * 4 + 1;
        std::vector<std::uint8_t> rows(stride * height);
        uLongf size = rows.size();
        if (uncompress(rows.data(), &size, packed.data(), packed.size()) != Z_OK ||
            size != rows.size()) {
            return *this;
        }
        for (int y = 0; y < height; ++y) {
            if (rows[y * stride] != 0) {
                return *this; // a filter the writer never uses
            }
            rgba.insert(rgba.end(), rows.begin() + y * stride + 1, rows.begin() + (y + 1) * stride);
        }
        valid = true;
        return *this;
    }
};

} // namespace velmorra::test
