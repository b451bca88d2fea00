#include "render/GlyphFile.h"

#include "platform/Log.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>

namespace velmorra {

namespace {

constexpr char magic[4] = {'V', 'G', 'L', 'Y'};

constexpr std::array<std::uint32_t, 256> crcTable = [] {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t entry = 0; entry < 256; ++entry) {
        std::uint32_t value = entry;
        for (int bit = 0; bit < 8; ++bit) {
            value = (value & 1U) != 0 ? 0xEDB88320U ^ (value >> 1) : value >> 1;
        }
        table[entry] = value;
    }
    return table;
}();

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

void putLittle(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int index = 0; index < bytes; ++index) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * index)));
    }
}

std::uint32_t little(const std::uint8_t* bytes, int count) {
    std::uint32_t value = 0;
    for (int index = count - 1; index >= 0; --index) {
        value = (value << 8) | bytes[index];
    }
    return value;
}

// Reads the fields in order, never past the end of its bytes.
struct Cursor {
    std::span<const std::uint8_t> bytes;
    std::size_t at = 0;

    bool take(std::size_t count, const std::uint8_t*& start) {
        if (count > bytes.size() - at) {
            return false;
        }
        start = bytes.data() + at;
        at += count;
        return true;
    }
    bool unsignedField(int count, std::uint32_t& value) {
        const std::uint8_t* start = nullptr;
        if (!take(static_cast<std::size_t>(count), start)) {
            return false;
        }
        value = little(start, count);
        return true;
    }
    bool signedField(int count, int& value) {
        std::uint32_t raw = 0;
        if (!unsignedField(count, raw)) {
            return false;
        }
        const std::uint32_t sign = 1U << (8 * count - 1);
        value = static_cast<int>(static_cast<std::int64_t>(raw ^ sign) - sign);
        return true;
    }
};

std::string tooLarge(std::size_t size) {
    return "it is " + std::to_string(size) + " bytes, more than the " +
           std::to_string(GlyphFile::largestFile) + " of the largest glyph file";
}

std::string nameFault(const std::string& name) {
    if (name.empty() || name.size() > GlyphFile::longestName) {
        return "face name of " + std::to_string(name.size()) + " bytes, not 1 to " +
               std::to_string(GlyphFile::longestName);
    }
    for (const char letter : name) {
        if (letter < ' ' || letter > '~') {
            return "face name with a byte outside printable ASCII";
        }
    }
    return {};
}

std::string heightFault(int pixelHeight) {
    if (pixelHeight < 1 || pixelHeight > GlyphFile::largestPixelHeight) {
        return "pixel height " + std::to_string(pixelHeight) + ", not 1 to " +
               std::to_string(GlyphFile::largestPixelHeight);
    }
    return {};
}

// The limits of a glyph's size and placement, before its rows are looked at.
std::string placementFault(const GlyphBitmap& glyph) {
    if (glyph.width < 0 || glyph.height < 0 || glyph.width > GlyphFile::largestSide ||
        glyph.height > GlyphFile::largestSide) {
        return std::to_string(glyph.width) + " x " + std::to_string(glyph.height) +
               " pixels, over " + std::to_string(GlyphFile::largestSide);
    }
    if (glyph.left < -GlyphFile::farthestBearing || glyph.left > GlyphFile::farthestBearing ||
        glyph.top < -GlyphFile::farthestBearing || glyph.top > GlyphFile::farthestBearing) {
        return "bearing " + std::to_string(glyph.left) + ", " + std::to_string(glyph.top) +
               " beyond " + std::to_string(GlyphFile::farthestBearing) + " pixels";
    }
    if (glyph.advance < -GlyphFile::longestAdvance || glyph.advance > GlyphFile::longestAdvance) {
        return "advance " + std::to_string(glyph.advance) + "/64 beyond " +
               std::to_string(GlyphFile::longestAdvance / 64) + " pixels";
    }
    return {};
}

std::string glyphFault(int character, const std::string& fault) {
    return "glyph " + std::to_string(character) + ": " + fault;
}

void putGlyph(std::vector<std::uint8_t>& out, const GlyphBitmap& glyph) {
    putLittle(out, static_cast<std::uint32_t>(glyph.width), 2);
    putLittle(out, static_cast<std::uint32_t>(glyph.height), 2);
    putLittle(out, static_cast<std::uint32_t>(glyph.left), 2);
    putLittle(out, static_cast<std::uint32_t>(glyph.top), 2);
    putLittle(out, static_cast<std::uint32_t>(glyph.advance), 4);
    out.insert(out.end(), glyph.rows.begin(), glyph.rows.end());
}

// A glyph's fields, then its rows once their size is known to be within the limits.
std::string takeGlyph(Cursor& cursor, int character, GlyphBitmap& glyph) {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    if (!cursor.unsignedField(2, width) || !cursor.unsignedField(2, height) ||
        !cursor.signedField(2, glyph.left) || !cursor.signedField(2, glyph.top) ||
        !cursor.signedField(4, glyph.advance)) {
        return "it ends inside glyph " + std::to_string(character);
    }
    glyph.width = static_cast<int>(width);
    glyph.height = static_cast<int>(height);
    const std::string fault = placementFault(glyph);
    if (!fault.empty()) {
        return glyphFault(character, fault);
    }
    const std::uint8_t* rows = nullptr;
    const std::size_t rowBytes = static_cast<std::size_t>(glyph.rowBytes()) * glyph.height;
    if (!cursor.take(rowBytes, rows)) {
        return "it ends inside glyph " + std::to_string(character);
    }
    glyph.rows.assign(rows, rows + rowBytes);
    return {};
}

} // namespace

GlyphFile::GlyphFile(std::string faceName, int pixelHeight, std::vector<GlyphBitmap> glyphs)
    : faceName(std::move(faceName)), pixelHeight(pixelHeight), glyphs(std::move(glyphs)) {}

std::uint32_t GlyphFile::checksum(std::span<const std::uint8_t> bytes) {
    std::uint32_t crc = 0xFFFFFFFFU;
    for (const std::uint8_t byte : bytes) {
        crc = crcTable[(crc ^ byte) & 0xFFU] ^ (crc >> 8);
    }
    return crc ^ 0xFFFFFFFFU;
}

std::string GlyphFile::fault() const {
    std::string found = nameFault(faceName);
    if (found.empty()) {
        found = heightFault(pixelHeight);
    }
    if (found.empty() && glyphs.size() != glyphCount) {
        found = std::to_string(glyphs.size()) + " glyphs, not " + std::to_string(glyphCount);
    }
    for (std::size_t character = 0; found.empty() && character < glyphs.size(); ++character) {
        const GlyphBitmap& glyph = glyphs[character];
        found = placementFault(glyph);
        if (found.empty() &&
            glyph.rows.size() != static_cast<std::size_t>(glyph.rowBytes()) * glyph.height) {
            found = std::to_string(glyph.rows.size()) + " row bytes for " +
                    std::to_string(glyph.width) + " x " + std::to_string(glyph.height) + " pixels";
        }
        if (!found.empty()) {
            found = glyphFault(static_cast<int>(character), found);
        }
    }
    return found;
}

std::vector<std::uint8_t> GlyphFile::toBytes() const {
    std::vector<std::uint8_t> out;
    if (!fault().empty()) {
        return out;
    }
    out.insert(out.end(), magic, magic + sizeof magic);
    putLittle(out, version, 2);
    putLittle(out, static_cast<std::uint32_t>(faceName.size()), 1);
    out.insert(out.end(), faceName.begin(), faceName.end());
    putLittle(out, static_cast<std::uint32_t>(pixelHeight), 2);
    putLittle(out, glyphCount, 2);
    for (const GlyphBitmap& glyph : glyphs) {
        putGlyph(out, glyph);
    }
    putLittle(out, checksum(out), 4);
    return out;
}

bool GlyphFile::write(const std::string& path) const {
    const std::vector<std::uint8_t> bytes = toBytes();
    if (bytes.empty()) {
        return false;
    }
    FileHandle file(std::fopen(path.c_str(), "wb"));
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
        return false;
    }
    return std::fclose(file.release()) == 0;
}

bool GlyphFile::refuse(const std::string& name, const std::string& reason) {
    velmorra::write("Glyph file %s refused: %s.\n", name.c_str(), reason.c_str());
    faceName.clear();
    pixelHeight = 0;
    glyphs.clear();
    return false;
}

// The checksum first, so that a damaged file is called damaged rather than by whichever field
// the damage happens to hit.
std::string GlyphFile::decode(std::span<const std::uint8_t> bytes) {
    if (bytes.size() > largestFile) {
        return tooLarge(bytes.size());
    }
    if (bytes.size() < headerBytes + checksumBytes) {
        return "it is " + std::to_string(bytes.size()) + " bytes, too short for a glyph file";
    }
    if (std::memcmp(bytes.data(), magic, sizeof magic) != 0) {
        return "it does not start with VGLY";
    }
    const std::uint32_t fileVersion = little(bytes.data() + sizeof magic, 2);
    if (fileVersion != version) {
        return "version " + std::to_string(fileVersion) + ", not " + std::to_string(version);
    }
    const std::span<const std::uint8_t> contents = bytes.first(bytes.size() - checksumBytes);
    if (checksum(contents) != little(contents.data() + contents.size(), 4)) {
        return "its checksum does not match its contents";
    }
    Cursor cursor{contents, sizeof magic + 2};
    std::uint32_t nameLength = 0;
    const std::uint8_t* name = nullptr;
    std::uint32_t height = 0;
    std::uint32_t count = 0;
    if (!cursor.unsignedField(1, nameLength) || !cursor.take(nameLength, name) ||
        !cursor.unsignedField(2, height) || !cursor.unsignedField(2, count)) {
        return "it ends inside its header";
    }
    faceName.assign(name, name + nameLength);
    pixelHeight = static_cast<int>(height);
    std::string fault = nameFault(faceName);
    if (fault.empty()) {
        fault = heightFault(pixelHeight);
    }
    if (fault.empty() && count != glyphCount) {
        fault = std::to_string(count) + " glyphs, not " + std::to_string(glyphCount);
    }
    glyphs.assign(glyphCount, GlyphBitmap{});
    for (int character = 0; fault.empty() && character < glyphCount; ++character) {
        fault = takeGlyph(cursor, character, glyphs[static_cast<std::size_t>(character)]);
    }
    if (fault.empty() && cursor.at != contents.size()) {
        fault = std::to_string(contents.size() - cursor.at) + " bytes follow the last glyph";
    }
    return fault;
}

bool GlyphFile::fromBytes(std::span<const std::uint8_t> bytes, const std::string& name) {
    const std::string fault = decode(bytes);
    return fault.empty() || refuse(name, fault);
}

bool GlyphFile::read(const std::string& path) {
    FileHandle file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return refuse(path, "it cannot be opened");
    }
    if (std::fseek(file.get(), 0, SEEK_END) != 0) {
        return refuse(path, "its size cannot be read");
    }
    const long size = std::ftell(file.get());
    std::rewind(file.get());
    if (size < 0) {
        return refuse(path, "its size cannot be read");
    }
    if (static_cast<unsigned long>(size) > largestFile) {
        return refuse(path, tooLarge(static_cast<std::size_t>(size)));
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file.get()));
    return fromBytes(bytes, path);
}

bool GlyphFile::readFor(const std::string& path, const std::string& wantedFace, int wantedHeight) {
    if (!read(path)) {
        return false;
    }
    if (faceName != wantedFace || pixelHeight != wantedHeight) {
        return refuse(path, "it holds " + faceName + " at " + std::to_string(pixelHeight) +
                                " pixels, not " + wantedFace + " at " +
                                std::to_string(wantedHeight));
    }
    return true;
}

} // namespace velmorra
