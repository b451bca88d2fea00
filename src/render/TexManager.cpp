#include "render/TexManager.h"

#include "platform/Log.h"
#include "platform/StartupTimings.h"
#include "render/Image.h"

#include "draw/Context.h"
#include "draw/Textures.h"

#include <algorithm>
#include <cctype>

namespace velmorra {

namespace {

bool sameNameIgnoringCase(const std::string& left, const std::string& right) {
    return std::equal(left.begin(), left.end(), right.begin(), right.end(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    });
}

// The largest side this GL implementation takes, so that an image it would
// reject is never read into memory. Without a context the reader's own limit
// applies.
int largestUploadSide() {
    const int side = draw::maxTextureSize();
    return side > 0 ? std::min<int>(side, Image::largestSide) : Image::largestSide;
}

draw::TextureFilter magnificationFilter(int filter) {
    return filter == 1 || filter == 2 ? draw::TextureFilter::linear : draw::TextureFilter::nearest;
}

} // namespace

TexManager& TexManager::instance() {
    static TexManager cache;
    return cache;
}

int TexManager::load(const std::string& fileName, int filter) {
    write("Loading texture file: %s\n", fileName.c_str());
    if (Entry* entry = findFile(fileName, filter)) {
        write("Texture already loaded, binding to existing name.\n");
        ++entry->refCount;
        return static_cast<int>(entry->textureName);
    }
    Image image;
    if (!image.load(fileName, largestUploadSide())) {
        if (!image.getRefusal().empty()) {
            write("Unsupported BMP file: %s.\n", image.getRefusal().c_str());
        }
        write("Error: could not open file!\n\n");
        return -1;
    }
    write("Loaded %dx%d image.\n", image.getWidth(), image.getHeight());
    startupStep("texture %s read", fileName.c_str());
    const unsigned int textureName = upload(image, filter);
    startupStep("texture %s uploaded%s", fileName.c_str(),
                         filter == 2 ? " with its mipmaps" : "");
    entries.push_back(Entry{fileName, textureName, 1, filter});
    return static_cast<int>(textureName);
}

void TexManager::release(int textureName) {
    const auto entry = findTexture(textureName);
    if (entry == entries.end()) {
        return;
    }
    if (--entry->refCount > 0) {
        return;
    }
    draw::deleteTexture(entry->textureName);
    write("Deleted texture %s\n", entry->name.c_str());
    entries.erase(entry);
}

void TexManager::addReference(int textureName) {
    const auto entry = findTexture(textureName);
    if (entry != entries.end()) {
        ++entry->refCount;
    }
}

int TexManager::referenceCount(int textureName) const {
    for (const Entry& entry : entries) {
        if (static_cast<int>(entry.textureName) == textureName) {
            return entry.refCount;
        }
    }
    return 0;
}

TexManager::Entry* TexManager::findFile(const std::string& fileName, int filter) {
    for (Entry& entry : entries) {
        if (entry.filter == filter && sameNameIgnoringCase(entry.name, fileName)) {
            return &entry;
        }
    }
    return nullptr;
}

std::vector<TexManager::Entry>::iterator TexManager::findTexture(int textureName) {
    return std::find_if(entries.begin(), entries.end(), [textureName](const Entry& entry) {
        return static_cast<int>(entry.textureName) == textureName;
    });
}

// Leaves the new texture bound.
unsigned int TexManager::upload(const Image& image, int filter) {
    const unsigned int textureName = draw::generateTexture();
    draw::bindTexture(textureName);
    draw::unpackAlignment(1);
    draw::textureWrap(draw::TextureWrap::repeat);
    draw::magnificationFilter(magnificationFilter(filter));
    if (filter == 2) {
        draw::minificationFilter(draw::TextureFilter::linearMipmapNearest);
        draw::uploadRgbMipmapped(image.getWidth(), image.getHeight(), image.getPixels());
    } else {
        draw::minificationFilter(magnificationFilter(filter));
        draw::uploadRgb(image.getWidth(), image.getHeight(), image.getPixels());
    }
    draw::flush();
    return textureName;
}

} // namespace velmorra
