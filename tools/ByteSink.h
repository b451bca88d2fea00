#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmorra::tools {

// Little-endian output into a growing byte buffer, shared by the file writers.
class ByteSink {
  public:
    void put8(std::uint8_t value) { bytes.push_back(value); }
    void put16(std::uint16_t value);
    void put32(std::uint32_t value);
    void putFloat(float value);
    // The text's bytes followed by one NUL.
    void putName(std::string_view name);
    // Overwrites four bytes already written at `offset`.
    void patch32(std::size_t offset, std::uint32_t value);

    std::size_t size() const { return bytes.size(); }
    const std::vector<std::uint8_t>& data() const { return bytes; }
    std::vector<std::uint8_t> release() { return std::move(bytes); }

    static bool writeFile(const std::string& fileName, const std::vector<std::uint8_t>& data);

  private:
    std::vector<std::uint8_t> bytes;
};

} // namespace velmorra::tools
