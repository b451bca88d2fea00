#pragma once

#include <string>

namespace velmorra {

// A handle that holds at most one reference to a texture of the TexManager.
// A copy holds a reference of its own, so every handle gives back exactly the
// reference it took.
class Texture {
  public:
    Texture();
    ~Texture();
    Texture(const Texture& other);
    Texture& operator=(const Texture& other);

    // False, changing nothing, when the handle already holds a texture or the
    // file cannot be loaded. Filter: 0 nearest, 1 linear, 2 linear mipmapped.
    bool load(const std::string& fileName, int filter);
    // Binds the texture with 2D texturing on; an empty handle turns 2D
    // texturing off, so an untextured surface is drawn untextured.
    void bind() const;
    void release();

    bool isLoaded() const { return loaded; }
    int getTextureName() const { return textureName; }

  private:
    int textureName = 0; // meaningful only while loaded
    bool loaded = false;
};

} // namespace velmorra
