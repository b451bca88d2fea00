#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace velmorra {

class Object;

// Reads a 3DS scene file into mesh elements of an Object: geometry, texture coordinates, the
// ambient, diffuse and specular colours of each mesh's material and the material's texture
// file. Three walks over the chunk tree: count the meshes (ThreeDsMeshCounter), read them
// (ThreeDsMeshReader), read the materials (ThreeDsMaterialReader). Every step goes to the debug
// log. A loader keeps nothing from one load to the next.
//
// A chunk that runs past its parent (a file cut short) is read up to the parent's end, with a
// warning. Float colours are read like 24-bit ones.
class ThreeDsLoader {
  public:
    // Longest names kept; longer ones are cut.
    static constexpr std::size_t objectNameLimit = 51;
    static constexpr std::size_t materialNameLimit = 49;
    static constexpr std::size_t textureNameLimit = 255;
    // Sub-chunks below this many levels inside an object or a material are skipped.
    static constexpr int nestingLimit = 16;
    // Larger files are refused rather than read into memory.
    static constexpr std::size_t fileSizeLimit = std::size_t{1} << 28;

    // True when the file was read, even with no mesh in it; false, leaving the object
    // unchanged, when a name or the object is missing, the file cannot be read or it does not
    // begin with the main chunk. Texture files are looked for as TextureFileLookup says.
    bool load(const char* fileName, Object* object) const;
    // The same for a file already in memory, from the check of the first chunk on.
    bool load(std::span<const std::uint8_t> file, Object* object) const;
};

// The loader as one call: a fresh ThreeDsLoader reads the file into the object.
bool load3ds(const char* fileName, Object* object);

} // namespace velmorra
