#include "render/TexManager.h"

#include "platform/Log.h"
#include "platform/StartupTimings.h"
#include "render/Image.h"

#include <GL/glu.h>

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
    GLint side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
    return side > 0 ? std::min<int>(side, Image::largestSide) : Image::largestSide;
}

GLint magnificationFilter(int filter) {
    return filter == 1 || filter == 2 ? GL_LINEAR : GL_NEAREST;
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
    const GLuint textureName = upload(image, filter);
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
    glDeleteTextures(1, &entry->textureName);
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

// Leaves the new texture bound to GL_TEXTURE_2D.
GLuint TexManager::upload(const Image& image, int filter) {
    GLuint textureName = 0;
    glGenTextures(1, &textureName);
    glBindTexture(GL_TEXTURE_2D, textureName);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magnificationFilter(filter));
    if (filter == 2) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
        gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB8, image.getWidth(), image.getHeight(), GL_RGB,
                          GL_UNSIGNED_BYTE, image.getPixels());
    } else {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, magnificationFilter(filter));
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, image.getWidth(), image.getHeight(), 0, GL_RGB,
                     GL_UNSIGNED_BYTE, image.getPixels());
    }
    glFlush();
    return textureName;
}

} // namespace velmorra
