#pragma once

#include <cstdint>

namespace velmorra {

// The ids of the 3DS chunks Velmorra reads or writes, for the loader and the content tools'
// writer alike. A chunk is a 16-bit id and a 32-bit length counting its own 6-byte header, both
// little-endian, followed by its content.
struct ThreeDsChunk {
    static constexpr std::uint16_t main = 0x4D4D;
    static constexpr std::uint16_t version = 0x0002;
    static constexpr std::uint16_t editor = 0x3D3D;
    static constexpr std::uint16_t meshVersion = 0x3D3E;
    static constexpr std::uint16_t masterScale = 0x0100;
    static constexpr std::uint16_t ambientLight = 0x2100;

    // A named object and what it holds.
    static constexpr std::uint16_t object = 0x4000;
    static constexpr std::uint16_t triangleMesh = 0x4100;
    static constexpr std::uint16_t vertexList = 0x4110;
    static constexpr std::uint16_t faceList = 0x4120;
    static constexpr std::uint16_t faceMaterial = 0x4130;
    static constexpr std::uint16_t mapping = 0x4140;
    static constexpr std::uint16_t smoothing = 0x4150;
    static constexpr std::uint16_t localAxes = 0x4160;
    static constexpr std::uint16_t light = 0x4600;
    static constexpr std::uint16_t spotlight = 0x4610;
    static constexpr std::uint16_t camera = 0x4700;

    // A material block and what it holds.
    static constexpr std::uint16_t materialBlock = 0xAFFF;
    static constexpr std::uint16_t materialName = 0xA000;
    static constexpr std::uint16_t ambient = 0xA010;
    static constexpr std::uint16_t diffuse = 0xA020;
    static constexpr std::uint16_t specular = 0xA030;
    static constexpr std::uint16_t shininess = 0xA040;
    static constexpr std::uint16_t shininessStrength = 0xA041;
    static constexpr std::uint16_t transparency = 0xA050;
    static constexpr std::uint16_t shading = 0xA100;
    static constexpr std::uint16_t textureMap = 0xA200;
    static constexpr std::uint16_t mapFileName = 0xA300;
    static constexpr std::uint16_t mapTiling = 0xA351;
    static constexpr std::uint16_t mapBlur = 0xA353;

    // Values inside colour and percentage chunks.
    static constexpr std::uint16_t colourFloat = 0x0010;
    static constexpr std::uint16_t colour24 = 0x0011;
    static constexpr std::uint16_t linearColour24 = 0x0012;
    static constexpr std::uint16_t percent = 0x0030;

    // The keyframer section after the editor.
    static constexpr std::uint16_t keyframer = 0xB000;
    static constexpr std::uint16_t objectNode = 0xB002;
    static constexpr std::uint16_t frameRange = 0xB008;
    static constexpr std::uint16_t currentFrame = 0xB009;
    static constexpr std::uint16_t keyframerHeader = 0xB00A;
    static constexpr std::uint16_t nodeHeader = 0xB010;
    static constexpr std::uint16_t pivot = 0xB013;
    static constexpr std::uint16_t positionTrack = 0xB020;
    static constexpr std::uint16_t nodeId = 0xB030;
};

} // namespace velmorra
