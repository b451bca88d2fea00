#pragma once

#include <string>
#include <vector>

namespace velmorra {

class Image;

// The process-wide cache of OpenGL textures loaded from BMP files. Each
// distinct (file name, filter) pair is uploaded once and shared by reference
// count; the last release deletes the GL texture. Only Texture talks to it.
//
// Filter codes: 1 linear, 2 linear with a mipmap chain, anything else
// nearest.
class TexManager {
  public:
    // The single cache. It is a function-local static: whoever touches it
    // first constructs it, and it is then destroyed after that object. Texture
    // and World touch it in their constructors so that it outlives them.
    static TexManager& instance();

    TexManager() = default;
    // Forgets every entry without GL calls or log lines: at exit the GL
    // context and the log are already gone.
    ~TexManager() = default;
    TexManager(const TexManager&) = delete;
    TexManager& operator=(const TexManager&) = delete;

    // The GL texture name, or -1 when the file cannot be read or is refused.
    // File names match without regard to letter case.
    int load(const std::string& fileName, int filter);
    // Drops one reference; unknown names are ignored.
    void release(int textureName);
    // One more holder of an entry that is already cached (a copied Texture);
    // unknown names are ignored.
    void addReference(int textureName);

    // 0 for a name the cache does not hold.
    int referenceCount(int textureName) const;
    std::size_t size() const { return entries.size(); }

  private:
    struct Entry {
        std::string name;
        unsigned int textureName = 0;
        int refCount = 0;
        int filter = 0;
    };

    Entry* findFile(const std::string& fileName, int filter);
    std::vector<Entry>::iterator findTexture(int textureName);
    static unsigned int upload(const Image& image, int filter);

    std::vector<Entry> entries; // in load order
};

} // namespace velmorra
