#include "scene/ThreeDsLoader.h"

#include "platform/Log.h"
#include "scene/ChunkCursor.h"
#include "scene/MeshElement.h"
#include "scene/Object.h"
#include "scene/ThreeDsChunk.h"
#include "scene/ThreeDsMaterialReader.h"
#include "scene/ThreeDsMeshCounter.h"
#include "scene/ThreeDsMeshReader.h"

#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace velmorra {

namespace {

enum class FileRead { ok, unreadable, tooLarge };

// The whole file at once; the file is closed again before this returns.
FileRead readFile(const char* fileName, std::vector<std::uint8_t>& bytes) {
    std::FILE* file = std::fopen(fileName, "rb");
    if (file == nullptr) {
        return FileRead::unreadable;
    }
    std::vector<std::uint8_t> buffer(65536);
    FileRead result = FileRead::ok;
    while (true) {
        const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), file);
        bytes.insert(bytes.end(), buffer.begin(), buffer.begin() + static_cast<long>(got));
        if (bytes.size() > ThreeDsLoader::fileSizeLimit) {
            result = FileRead::tooLarge;
            break;
        }
        if (got < buffer.size()) {
            result = std::ferror(file) == 0 ? FileRead::ok : FileRead::unreadable;
            break;
        }
    }
    std::fclose(file);
    return result;
}

} // namespace

bool load3ds(const char* fileName, Object* object) {
    const ThreeDsLoader loader;
    return loader.load(fileName, object);
}

bool ThreeDsLoader::load(const char* fileName, Object* object) const {
    if (fileName == nullptr || object == nullptr) {
        return false;
    }
    write("Loading 3ds file: %s\n", fileName);
    std::vector<std::uint8_t> file;
    switch (readFile(fileName, file)) {
    case FileRead::unreadable:
        write("Error: could not open file!\n\n");
        return false;
    case FileRead::tooLarge:
        write("Error: file too large!\n\n");
        return false;
    case FileRead::ok:
        break;
    }
    return load(file, object);
}

bool ThreeDsLoader::load(std::span<const std::uint8_t> file, Object* object) const {
    if (object == nullptr) {
        return false;
    }
    ChunkCursor top(file);
    if (top.read16() != ThreeDsChunk::main) {
        write("Error: not a valid 3ds format!\n\n");
        return false;
    }
    top.read32(); // the main chunk's length: the top level runs to the end of the file

    const int count = ThreeDsMeshCounter::count(top);
    write("Found %d objects.\n", count);
    write("Creating %d elements.\n", count);
    std::vector<std::unique_ptr<MeshElement>> meshes;
    for (int i = 0; i < count; ++i) {
        meshes.push_back(std::make_unique<MeshElement>());
    }
    // The material each mesh's face material list names; empty when it has none.
    std::vector<std::string> materials(meshes.size());

    write("\nStart reading MESH\n");
    indent();
    ThreeDsMeshReader(meshes, materials).read(top);
    outdent();
    write("End reading MESH\n");

    write("Start reading MATERIALS\n");
    indent();
    ThreeDsMaterialReader(meshes, materials).read(top);
    outdent();
    write("End reading MATERIALS\n");

    write("Closing 3ds file.\n\n");
    for (auto& mesh : meshes) {
        object->addElement(std::move(mesh));
    }
    return true;
}

} // namespace velmorra
