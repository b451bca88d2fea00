#pragma once

#include "render/Material.h"
#include "scene/ChunkCursor.h"
#include "scene/MeshElement.h"

#include <memory>
#include <optional>
#include <span>
#include <string>

namespace velmorra {

// The 3DS loader's material pass: gives each material block's colours and texture to the meshes
// whose face material list names it. A mesh without such a list has the empty name and takes a
// block named "". Each block starts from a fresh working material, which replaces a mesh's
// whole material (texture included) whenever one of its colours is read.
class ThreeDsMaterialReader {
  public:
    // `materials` names each mesh's material, as the mesh pass found it.
    ThreeDsMaterialReader(std::span<const std::unique_ptr<MeshElement>> meshes,
                          std::span<const std::string> materials);

    void read(ChunkCursor top);

  private:
    enum class ColorSlot { none, ambient, diffuse, specular };

    void readMaterialChunks(ChunkCursor chunks, int depth);
    void readColourChunk(ColorSlot slot, const char* label, ChunkCursor content, int depth);
    void descend(ChunkCursor content, int depth);
    void readMaterialName(ChunkCursor content);
    void readTextureFile(ChunkCursor content);
    void readColor(ChunkCursor content);
    void readFloatColor(ChunkCursor content);
    void applyColor(float red, float green, float blue);
    bool usesCurrentMaterial(std::size_t mesh) const;

    std::span<const std::unique_ptr<MeshElement>> meshes;
    std::span<const std::string> materials;

    Material working;
    // None until the block's name chunk is read: a block without one matches no mesh.
    std::optional<std::string> currentMaterial;
    int lastUser = -1;
    ColorSlot selected = ColorSlot::none;
    // A colour chunk may hold its colour in more than one form (bytes and floats): only the
    // first one in the file is applied and logged.
    bool colourOpen = false;
    bool colourTaken = false;
};

} // namespace velmorra
