#include "scene/ThreeDsMaterialReader.h"

#include "platform/Log.h"
#include "scene/TextureFileLookup.h"
#include "scene/ThreeDsChunk.h"
#include "scene/ThreeDsChunkWalk.h"
#include "scene/ThreeDsLoader.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace velmorra {

namespace {

constexpr double byteToUnit = 0.00392156862745098;

float unitColor(int byte) {
    return static_cast<float>(byte * byteToUnit);
}

// NaN becomes 0.
float clampedUnit(float value) {
    return value > 0.0f ? std::min(value, 1.0f) : 0.0f;
}

int toByte(float unit) {
    return static_cast<int>(std::lround(unit * 255.0f));
}

} // namespace

ThreeDsMaterialReader::ThreeDsMaterialReader(std::span<const std::unique_ptr<MeshElement>> meshes,
                                             std::span<const std::string> materials)
    : meshes(meshes), materials(materials) {}

void ThreeDsMaterialReader::read(ChunkCursor top) {
    ThreeDsChunkWalk::forEachEditorChunk(top, [&](std::uint16_t id, ChunkCursor content) {
        if (id == ThreeDsChunk::materialBlock) {
            working = Material();
            currentMaterial.reset();
            lastUser = -1;
            selected = ColorSlot::none;
            readMaterialChunks(content, 0);
        }
    });
}

// Colour and texture map chunks hold their values in sub-chunks, read as if they stood at the
// material's level.
void ThreeDsMaterialReader::readMaterialChunks(ChunkCursor chunks, int depth) {
    ThreeDsChunkWalk::forEachChunk(chunks, [&](std::uint16_t id, ChunkCursor content) {
        switch (id) {
        case ThreeDsChunk::materialName:
            readMaterialName(content);
            break;
        case ThreeDsChunk::ambient:
            readColourChunk(ColorSlot::ambient, "Ambient: ", content, depth);
            break;
        case ThreeDsChunk::diffuse:
            readColourChunk(ColorSlot::diffuse, "Diffuse: ", content, depth);
            break;
        case ThreeDsChunk::specular:
            readColourChunk(ColorSlot::specular, "Specular: ", content, depth);
            break;
        case ThreeDsChunk::textureMap:
            descend(content, depth);
            break;
        case ThreeDsChunk::mapFileName:
            readTextureFile(content);
            break;
        case ThreeDsChunk::colour24:
            readColor(content);
            break;
        case ThreeDsChunk::colourFloat:
            readFloatColor(content);
            break;
        default:
            break;
        }
    });
}

void ThreeDsMaterialReader::readColourChunk(ColorSlot slot, const char* label,
                                            ChunkCursor content, int depth) {
    writeText(label);
    selected = slot;
    const bool outerOpen = colourOpen;
    const bool outerTaken = colourTaken;
    colourOpen = true;
    colourTaken = false;
    descend(content, depth);
    colourOpen = outerOpen;
    colourTaken = outerTaken;
}

void ThreeDsMaterialReader::descend(ChunkCursor content, int depth) {
    if (ThreeDsChunkWalk::mayDescend(depth)) {
        readMaterialChunks(content, depth + 1);
    }
}

void ThreeDsMaterialReader::readMaterialName(ChunkCursor content) {
    currentMaterial = ThreeDsChunkWalk::readName(content, ThreeDsLoader::materialNameLimit);
    write("Reading material: %s\n", currentMaterial->c_str());
    lastUser = -1;
    selected = ColorSlot::none;
    for (std::size_t i = 0; i < meshes.size(); ++i) {
        if (usesCurrentMaterial(i)) {
            lastUser = static_cast<int>(i);
        }
    }
}

// A name cut short by the end of the file would name some other file: it is not used.
void ThreeDsMaterialReader::readTextureFile(ChunkCursor content) {
    const std::string fileName = ThreeDsChunkWalk::readName(content, ThreeDsLoader::textureNameLimit);
    write("Texture: %s\n", fileName.c_str());
    if (content.isCut()) {
        return;
    }
    const std::string found = TextureFileLookup::find(fileName);
    for (std::size_t i = 0; i < meshes.size(); ++i) {
        if (usesCurrentMaterial(i)) {
            meshes[i]->setTexture(found);
        }
    }
}

void ThreeDsMaterialReader::readColor(ChunkCursor content) {
    if (colourTaken) {
        return;
    }
    if (content.remaining() < 3) {
        write("Warning: colour cut short, ignored.\n");
        return;
    }
    const int r = content.read8();
    const int g = content.read8();
    const int b = content.read8();
    write("R=%d G=%d B=%d\n", r, g, b);
    colourTaken = colourOpen;
    applyColor(unitColor(r), unitColor(g), unitColor(b));
}

// Some tools write their colours as floats only; they are logged as the bytes they round to.
void ThreeDsMaterialReader::readFloatColor(ChunkCursor content) {
    if (colourTaken) {
        return;
    }
    if (content.remaining() < 12) {
        write("Warning: colour cut short, ignored.\n");
        return;
    }
    const float r = clampedUnit(content.readFloat());
    const float g = clampedUnit(content.readFloat());
    const float b = clampedUnit(content.readFloat());
    write("R=%d G=%d B=%d\n", toByte(r), toByte(g), toByte(b));
    colourTaken = colourOpen;
    applyColor(r, g, b);
}

// A colour reaches the meshes as part of the whole working material, which replaces theirs.
void ThreeDsMaterialReader::applyColor(float red, float green, float blue) {
    if (lastUser < 0) {
        return;
    }
    switch (selected) {
    case ColorSlot::ambient:
        working.setAmbient(red, green, blue, 1.0f);
        break;
    case ColorSlot::diffuse:
        working.setDiffuse(red, green, blue, 1.0f);
        break;
    case ColorSlot::specular:
        working.setSpecular(red, green, blue, 1.0f);
        break;
    case ColorSlot::none:
        break;
    }
    for (std::size_t i = 0; i < meshes.size(); ++i) {
        if (usesCurrentMaterial(i)) {
            meshes[i]->setMaterial(working);
        }
    }
}

bool ThreeDsMaterialReader::usesCurrentMaterial(std::size_t mesh) const {
    return currentMaterial.has_value() && materials[mesh] == *currentMaterial;
}

} // namespace velmorra
