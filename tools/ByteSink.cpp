#include "ByteSink.h"

#include <bit>
#include <cstdio>
#include <memory>

namespace velmorra::tools {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

void ByteSink::put16(std::uint16_t value) {
    put8(static_cast<std::uint8_t>(value));
    put8(static_cast<std::uint8_t>(value >> 8));
}

void ByteSink::put32(std::uint32_t value) {
    put16(static_cast<std::uint16_t>(value));
    put16(static_cast<std::uint16_t>(value >> 16));
}

void ByteSink::putFloat(float value) {
    put32(std::bit_cast<std::uint32_t>(value));
}

void ByteSink::putName(std::string_view name) {
    for (const char c : name) {
        put8(static_cast<std::uint8_t>(c));
    }
    put8(0);
}

void ByteSink::patch32(std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[offset + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

bool ByteSink::writeFile(const std::string& fileName, const std::vector<std::uint8_t>& data) {
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(fileName.c_str(), "wb"));
    if (!file) {
        return false;
    }
    const bool written = std::fwrite(data.data(), 1, data.size(), file.get()) == data.size();
    return std::fflush(file.get()) == 0 && written;
}

} // namespace velmorra::tools
