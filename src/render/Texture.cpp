#include "render/Texture.h"

#include "render/TexManager.h"

#include "draw/Features.h"
#include "draw/Textures.h"

namespace velmorra {

// Touching the cache here constructs it before any texture holder that is
// itself a static object, so the cache is destroyed after it.
Texture::Texture() {
    TexManager::instance();
}

Texture::~Texture() {
    release();
}

Texture::Texture(const Texture& other) : textureName(other.textureName), loaded(other.loaded) {
    if (loaded) {
        TexManager::instance().addReference(textureName);
    }
}

Texture& Texture::operator=(const Texture& other) {
    if (this == &other) {
        return *this;
    }
    // Take the new reference before giving the old one back: both may name
    // the same texture, which must not be deleted in between.
    if (other.loaded) {
        TexManager::instance().addReference(other.textureName);
    }
    release();
    textureName = other.textureName;
    loaded = other.loaded;
    return *this;
}

bool Texture::load(const std::string& fileName, int filter) {
    if (loaded) {
        return false;
    }
    const int name = TexManager::instance().load(fileName, filter);
    if (name == -1) {
        return false;
    }
    textureName = name;
    loaded = true;
    return true;
}

void Texture::bind() const {
    if (loaded) {
        draw::enable(draw::Feature::texturing);
        draw::bindTexture(static_cast<unsigned int>(textureName));
    } else {
        draw::disable(draw::Feature::texturing);
    }
}

void Texture::release() {
    if (loaded) {
        TexManager::instance().release(textureName);
        loaded = false;
    }
}

} // namespace velmorra
