#include "scene/ThreeDsLoader.h"

#include "platform/Log.h"
#include "scene/ChunkCursor.h"
#include "scene/Object.h"

#include <cstdio>
#include <utility>

namespace velmorra {

namespace {

namespace chunk {
constexpr std::uint16_t main = 0x4D4D;
constexpr std::uint16_t editor = 0x3D3D;
constexpr std::uint16_t object = 0x4000;
constexpr std::uint16_t triangleMesh = 0x4100;
constexpr std::uint16_t vertexList = 0x4110;
constexpr std::uint16_t faceList = 0x4120;
constexpr std::uint16_t faceMaterial = 0x4130;
constexpr std::uint16_t mapping = 0x4140;
constexpr std::uint16_t materialBlock = 0xAFFF;
constexpr std::uint16_t materialName = 0xA000;
constexpr std::uint16_t ambient = 0xA010;
constexpr std::uint16_t diffuse = 0xA020;
constexpr std::uint16_t specular = 0xA030;
constexpr std::uint16_t textureMap = 0xA200;
constexpr std::uint16_t mapFileName = 0xA300;
constexpr std::uint16_t color24 = 0x0011;
} // namespace chunk

constexpr double byteToUnit = 0.00392156862745098;

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

float unitColor(int byte) {
    return static_cast<float>(byte * byteToUnit);
}

} // namespace

bool load3ds(const char* fileName, Object* object) {
    ThreeDsLoader loader;
    return loader.load(fileName, object);
}

bool ThreeDsLoader::load(const char* fileName, Object* object) {
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

bool ThreeDsLoader::load(std::span<const std::uint8_t> file, Object* object) {
    if (object == nullptr) {
        return false;
    }
    ChunkCursor top(file);
    if (top.read16() != chunk::main) {
        write("Error: not a valid 3ds format!\n\n");
        return false;
    }
    top.read32(); // the main chunk's length: the top level runs to the end of the file
    reset();

    const int count = countMeshes(top);
    write("Found %d objects.\n", count);
    write("Creating %d elements.\n", count);
    for (int i = 0; i < count; ++i) {
        meshes.push_back(std::make_unique<MeshElement>());
    }
    meshMaterials.assign(meshes.size(), std::string());

    write("\nStart reading MESH\n");
    indent();
    readMeshes(top);
    outdent();
    write("End reading MESH\n");

    write("Start reading MATERIALS\n");
    indent();
    readMaterials(top);
    outdent();
    write("End reading MATERIALS\n");

    write("Closing 3ds file.\n\n");
    for (auto& mesh : meshes) {
        object->addElement(std::move(mesh));
    }
    reset();
    return true;
}

void ThreeDsLoader::reset() {
    meshes.clear();
    meshMaterials.clear();
    pendingVertices.clear();
    pendingMapping.clear();
    lastBuilt = -1;
    working = Material();
    currentMaterial.clear();
    lastUser = -1;
    selected = ColorSlot::none;
}

// Calls visit(id, content) for every sub-chunk of a level, in file order. A damaged header
// ends the level, with a warning.
template <typename Visit> void ThreeDsLoader::forEachChunk(ChunkCursor level, Visit&& visit) {
    std::uint16_t id = 0;
    ChunkCursor content;
    while (level.nextChunk(id, content)) {
        visit(id, content);
    }
    if (level.isDamaged()) {
        write("Warning: damaged chunk, the rest of its level is skipped.\n");
    }
}

template <typename Visit> void ThreeDsLoader::forEachEditorChunk(ChunkCursor top, Visit&& visit) {
    forEachChunk(top, [&](std::uint16_t id, ChunkCursor content) {
        if (id == chunk::editor) {
            forEachChunk(content, visit);
        }
    });
}

bool ThreeDsLoader::mayDescend(int depth) {
    if (depth < nestingLimit) {
        return true;
    }
    write("Warning: chunks nested too deeply, skipped.\n");
    return false;
}

std::string ThreeDsLoader::readName(ChunkCursor& content, std::size_t limit) {
    std::string name = content.readName();
    if (name.size() > limit) {
        write("Warning: name longer than %zu characters cut.\n", limit);
        name.resize(limit);
    }
    return name;
}

void ThreeDsLoader::checkListFits(const ChunkCursor& content) {
    if (content.overran()) {
        write("Warning: list longer than its chunk, missing entries are zero.\n");
    }
}

// Objects without a vertex list, such as cameras and lights, make no mesh. The count pass
// walks quietly: the mesh pass meets the same damage and reports it.
int ThreeDsLoader::countMeshes(ChunkCursor top) const {
    int count = 0;
    ChunkCursor level = top;
    std::uint16_t id = 0;
    ChunkCursor editor;
    while (level.nextChunk(id, editor)) {
        if (id != chunk::editor) {
            continue;
        }
        ChunkCursor object;
        while (editor.nextChunk(id, object)) {
            if (id != chunk::object) {
                continue;
            }
            object.readName();
            int vertexCount = 0;
            findVertexCount(object, 0, vertexCount);
            if (vertexCount != 0) {
                ++count;
            }
        }
    }
    return count;
}

// The count of the object's last vertex list.
void ThreeDsLoader::findVertexCount(ChunkCursor chunks, int depth, int& vertexCount) {
    std::uint16_t id = 0;
    ChunkCursor content;
    while (chunks.nextChunk(id, content)) {
        if (id == chunk::triangleMesh && depth < nestingLimit) {
            findVertexCount(content, depth + 1, vertexCount);
        } else if (id == chunk::vertexList) {
            vertexCount = content.read16();
        }
    }
}

void ThreeDsLoader::readMeshes(ChunkCursor top) {
    forEachEditorChunk(top, [&](std::uint16_t id, ChunkCursor content) {
        if (id == chunk::object) {
            const std::string name = readName(content, objectNameLimit);
            write("Reading object: %s\n", name.c_str());
            readObjectChunks(content, 0);
        }
    });
}

// A triangle mesh's chunks, and a face list's own chunks after its face data, are read as if
// they stood at the object's level.
void ThreeDsLoader::readObjectChunks(ChunkCursor chunks, int depth) {
    forEachChunk(chunks, [&](std::uint16_t id, ChunkCursor content) {
        switch (id) {
        case chunk::triangleMesh:
            if (mayDescend(depth)) {
                readObjectChunks(content, depth + 1);
            }
            break;
        case chunk::vertexList:
            readVertices(content);
            break;
        case chunk::mapping:
            readMapping(content);
            break;
        case chunk::faceList:
            readFaces(content, depth);
            break;
        case chunk::faceMaterial:
            readFaceMaterial(content);
            break;
        default:
            break;
        }
    });
}

// In the file's z-up axes; the mesh converts them.
void ThreeDsLoader::readVertices(ChunkCursor content) {
    const int count = content.read16();
    write("Vertices: %d\n", count);
    pendingVertices.assign(static_cast<std::size_t>(count), Vector3{});
    for (Vector3& v : pendingVertices) {
        v.x = content.readFloat();
        v.y = content.readFloat();
        v.z = content.readFloat();
    }
    checkListFits(content);
}

void ThreeDsLoader::readMapping(ChunkCursor content) {
    const int count = content.read16();
    write("Mapping: %d\n", count);
    pendingMapping.assign(static_cast<std::size_t>(count), TexCoord{});
    for (TexCoord& t : pendingMapping) {
        t.u = content.readFloat();
        t.v = content.readFloat();
    }
    checkListFits(content);
}

void ThreeDsLoader::readFaces(ChunkCursor content, int depth) {
    const int count = content.read16();
    write("Faces: %d\n", count);
    std::vector<Face> faces(static_cast<std::size_t>(count));
    for (Face& face : faces) {
        face[0] = content.read16();
        face[1] = content.read16();
        face[2] = content.read16();
        content.read16(); // edge visibility flags
    }
    checkListFits(content);
    buildNextMesh(std::move(faces));
    if (mayDescend(depth)) {
        readObjectChunks(content, depth + 1);
    }
}

// Each face list makes the next mesh from what is pending. A file with more face lists than
// counted meshes has no mesh for the extra ones: their arrays are dropped.
void ThreeDsLoader::buildNextMesh(std::vector<Face> faces) {
    ++lastBuilt;
    if (static_cast<std::size_t>(lastBuilt) < meshes.size()) {
        checkGeometry(faces);
        meshes[static_cast<std::size_t>(lastBuilt)]->build(
            std::move(pendingVertices), std::move(pendingMapping), std::move(faces));
    } else {
        write("Warning: more face lists than objects, face list dropped.\n");
    }
    pendingVertices.clear();
    pendingMapping.clear();
}

void ThreeDsLoader::checkGeometry(const std::vector<Face>& faces) const {
    if (!pendingMapping.empty() && pendingMapping.size() < pendingVertices.size()) {
        write("Warning: mapping list shorter than the vertex list, missing coordinates are "
              "zero.\n");
    }
    int outside = 0;
    for (const Face& face : faces) {
        for (const std::uint16_t corner : face) {
            if (corner >= pendingVertices.size()) {
                ++outside;
                break;
            }
        }
    }
    if (outside > 0) {
        write("Warning: %d faces name missing vertices and are not drawn.\n", outside);
    }
}

// Only the last material named for a mesh is kept; which faces use it is not.
void ThreeDsLoader::readFaceMaterial(ChunkCursor content) {
    const std::string name = readName(content, materialNameLimit);
    write("Material: %s\n", name.c_str());
    if (lastBuilt < 0) {
        write("Warning: material list before any face list, ignored.\n");
    } else if (static_cast<std::size_t>(lastBuilt) < meshMaterials.size()) {
        meshMaterials[static_cast<std::size_t>(lastBuilt)] = name;
    }
}

void ThreeDsLoader::readMaterials(ChunkCursor top) {
    forEachEditorChunk(top, [&](std::uint16_t id, ChunkCursor content) {
        if (id == chunk::materialBlock) {
            readMaterialChunks(content, 0);
        }
    });
}

// Colour and texture map chunks hold their values in sub-chunks, read as if they stood at the
// material's level.
void ThreeDsLoader::readMaterialChunks(ChunkCursor chunks, int depth) {
    const auto descend = [&](ChunkCursor content) {
        if (mayDescend(depth)) {
            readMaterialChunks(content, depth + 1);
        }
    };
    forEachChunk(chunks, [&](std::uint16_t id, ChunkCursor content) {
        switch (id) {
        case chunk::materialName:
            readMaterialName(content);
            break;
        case chunk::ambient:
            selectColor(ColorSlot::ambient, "Ambient: ");
            descend(content);
            break;
        case chunk::diffuse:
            selectColor(ColorSlot::diffuse, "Diffuse: ");
            descend(content);
            break;
        case chunk::specular:
            selectColor(ColorSlot::specular, "Specular: ");
            descend(content);
            break;
        case chunk::textureMap:
            descend(content);
            break;
        case chunk::mapFileName:
            readTextureFile(content);
            break;
        case chunk::color24:
            readColor(content);
            break;
        default:
            break;
        }
    });
}

void ThreeDsLoader::readMaterialName(ChunkCursor content) {
    currentMaterial = readName(content, materialNameLimit);
    write("Reading material: %s\n", currentMaterial.c_str());
    lastUser = -1;
    selected = ColorSlot::none;
    for (std::size_t i = 0; i < meshes.size(); ++i) {
        if (usesCurrentMaterial(i)) {
            lastUser = static_cast<int>(i);
        }
    }
}

void ThreeDsLoader::selectColor(ColorSlot slot, const char* label) {
    writeText(label);
    selected = slot;
}

void ThreeDsLoader::readTextureFile(ChunkCursor content) {
    const std::string fileName = readName(content, textureNameLimit);
    write("Texture: %s\n", fileName.c_str());
    for (std::size_t i = 0; i < meshes.size(); ++i) {
        if (usesCurrentMaterial(i)) {
            meshes[i]->setTexture(fileName);
        }
    }
}

// A colour reaches the meshes as part of the whole working material, which replaces theirs.
void ThreeDsLoader::readColor(ChunkCursor content) {
    const int r = content.read8();
    const int g = content.read8();
    const int b = content.read8();
    write("R=%d G=%d B=%d\n", r, g, b);
    if (lastUser < 0) {
        return;
    }
    switch (selected) {
    case ColorSlot::ambient:
        working.setAmbient(unitColor(r), unitColor(g), unitColor(b), 1.0f);
        break;
    case ColorSlot::diffuse:
        working.setDiffuse(unitColor(r), unitColor(g), unitColor(b), 1.0f);
        break;
    case ColorSlot::specular:
        working.setSpecular(unitColor(r), unitColor(g), unitColor(b), 1.0f);
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

bool ThreeDsLoader::usesCurrentMaterial(std::size_t mesh) const {
    return meshMaterials[mesh] == currentMaterial;
}

} // namespace velmorra
