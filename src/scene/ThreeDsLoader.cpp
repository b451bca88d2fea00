#include "scene/ThreeDsLoader.h"

#include "platform/Log.h"
#include "scene/ChunkCursor.h"
#include "scene/Object.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
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
constexpr std::uint16_t colorFloat = 0x0010;
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

// NaN becomes 0.
float clampedUnit(float value) {
    return value > 0.0f ? std::min(value, 1.0f) : 0.0f;
}

int toByte(float unit) {
    return static_cast<int>(std::lround(unit * 255.0f));
}

bool sameNameIgnoringCase(const std::string& left, const std::string& right) {
    return std::equal(left.begin(), left.end(), right.begin(), right.end(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    });
}

// Texture names written by modelling tools on other systems carry folders ("maps\brick.bmp",
// "C:\scenes\brick.bmp") and letter case ("BRICK.BMP") that mean nothing here: the texture is
// the file of that last name in the current directory, the exact name first, otherwise the
// first in name order that matches ignoring case. Without a match the last name is returned
// and fails to load as any missing file does.
std::string textureFileInCurrentDirectory(const std::string& name) {
    const std::size_t slash = name.find_last_of("/\\");
    const std::string last = slash == std::string::npos ? name : name.substr(slash + 1);
    std::error_code error;
    if (last.empty() || std::filesystem::is_regular_file(last, error)) {
        return last;
    }
    std::string found;
    std::filesystem::directory_iterator entry(".", error);
    for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
        const std::string candidate = entry->path().filename().string();
        if (sameNameIgnoringCase(candidate, last) && (found.empty() || candidate < found) &&
            entry->is_regular_file(error)) {
            found = candidate;
        }
    }
    return found.empty() ? last : found;
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
    pending = PendingObject();
    lastBuilt = -1;
    damageSeen = false;
    working = Material();
    currentMaterial.clear();
    lastUser = -1;
    selected = ColorSlot::none;
}

// Calls visit(id, content) for every sub-chunk of a level, in file order. A chunk that runs past
// its parent is read as far as the parent goes; a damaged header ends the level. Both warn.
template <typename Visit> void ThreeDsLoader::forEachChunk(ChunkCursor level, Visit&& visit) {
    std::uint16_t id = 0;
    ChunkCursor content;
    while (level.nextChunk(id, content)) {
        if (content.isCut()) {
            write("Warning: chunk 0x%04X runs past its parent, cut at the parent's end.\n",
                  static_cast<unsigned>(id));
            damageSeen = true;
        }
        visit(id, content);
    }
    if (level.isDamaged()) {
        write("Warning: damaged chunk, the rest of its level is skipped.\n");
        damageSeen = true;
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

// An object makes a mesh when it has vertices and arrived whole. Cameras, lights and empty
// meshes have none; an object cut short (the file ends inside it) or damaged inside is dropped
// rather than drawn from what is left. The count pass walks quietly: the mesh pass meets the
// same damage and reports it.
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
            ObjectScan scan;
            scan.damaged = object.isCut();
            scanObject(object, 0, scan);
            if (makesMesh(scan)) {
                ++count;
            }
        }
    }
    return count;
}

// Walks an object's chunks exactly as the mesh pass does.
void ThreeDsLoader::scanObject(ChunkCursor chunks, int depth, ObjectScan& scan) {
    std::uint16_t id = 0;
    ChunkCursor content;
    while (chunks.nextChunk(id, content)) {
        scan.damaged = scan.damaged || content.isCut();
        if (id == chunk::triangleMesh && depth < nestingLimit) {
            scanObject(content, depth + 1, scan);
        } else if (id == chunk::vertexList) {
            scan.vertexCount = content.read16();
        } else if (id == chunk::faceList && ++scan.faceLists == 1) {
            content.skip(std::size_t{content.read16()} * 8);
            if (depth < nestingLimit) {
                scanObject(content, depth + 1, scan);
            }
        }
    }
    scan.damaged = scan.damaged || chunks.isDamaged();
}

void ThreeDsLoader::readMeshes(ChunkCursor top) {
    forEachEditorChunk(top, [&](std::uint16_t id, ChunkCursor content) {
        if (id == chunk::object) {
            readObject(content);
        }
    });
}

void ThreeDsLoader::readObject(ChunkCursor content) {
    const std::string name = readName(content, objectNameLimit);
    write("Reading object: %s\n", name.c_str());
    pending = PendingObject();
    damageSeen = false;
    readObjectChunks(content, 0);
    buildObjectMesh(damageSeen || content.isCut());
    pending = PendingObject();
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
    pending.vertices.assign(static_cast<std::size_t>(count), Vector3{});
    for (Vector3& v : pending.vertices) {
        v.x = content.readFloat();
        v.y = content.readFloat();
        v.z = content.readFloat();
    }
    checkListFits(content);
}

void ThreeDsLoader::readMapping(ChunkCursor content) {
    const int count = content.read16();
    write("Mapping: %d\n", count);
    pending.mapping.assign(static_cast<std::size_t>(count), TexCoord{});
    for (TexCoord& t : pending.mapping) {
        t.u = content.readFloat();
        t.v = content.readFloat();
    }
    checkListFits(content);
}

// A mesh has one face list; a second one in the same object is dropped with what it holds.
void ThreeDsLoader::readFaces(ChunkCursor content, int depth) {
    const int count = content.read16();
    write("Faces: %d\n", count);
    if (++pending.faceLists > 1) {
        write("Warning: second face list in one object, dropped.\n");
        return;
    }
    pending.faces.assign(static_cast<std::size_t>(count), Face{});
    for (Face& face : pending.faces) {
        face[0] = content.read16();
        face[1] = content.read16();
        face[2] = content.read16();
        content.read16(); // edge visibility flags
    }
    checkListFits(content);
    if (mayDescend(depth)) {
        readObjectChunks(content, depth + 1);
    }
}

// The object's mesh takes the next slot when the count pass counted it (the same rule decides
// both). An object with vertices but no face list keeps its slot and stays unbuilt.
void ThreeDsLoader::buildObjectMesh(bool damaged) {
    if (pending.vertices.empty()) {
        return;
    }
    if (damaged) {
        write("Warning: object damaged or cut short, dropped.\n");
        return;
    }
    const auto slot = static_cast<std::size_t>(++lastBuilt);
    if (slot >= meshes.size()) {
        write("Warning: more objects than counted, object dropped.\n");
        return;
    }
    meshMaterials[slot] = pending.material;
    if (pending.faceLists == 0) {
        return;
    }
    checkGeometry();
    meshes[slot]->build(std::move(pending.vertices), std::move(pending.mapping),
                        std::move(pending.faces));
}

void ThreeDsLoader::checkGeometry() const {
    if (!pending.mapping.empty() && pending.mapping.size() < pending.vertices.size()) {
        write("Warning: mapping list shorter than the vertex list, missing coordinates are "
              "zero.\n");
    }
    int outside = 0;
    for (const Face& face : pending.faces) {
        for (const std::uint16_t corner : face) {
            if (corner >= pending.vertices.size()) {
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
    pending.material = readName(content, materialNameLimit);
    write("Material: %s\n", pending.material.c_str());
}

void ThreeDsLoader::readMaterials(ChunkCursor top) {
    forEachEditorChunk(top, [&](std::uint16_t id, ChunkCursor content) {
        if (id == chunk::materialBlock) {
            working = Material();
            currentMaterial.clear();
            lastUser = -1;
            selected = ColorSlot::none;
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
        case chunk::colorFloat:
            readFloatColor(content);
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

// A name cut short by the end of the file would name some other file: it is not used.
void ThreeDsLoader::readTextureFile(ChunkCursor content) {
    const std::string fileName = readName(content, textureNameLimit);
    write("Texture: %s\n", fileName.c_str());
    if (content.isCut()) {
        return;
    }
    const std::string found = textureFileInCurrentDirectory(fileName);
    for (std::size_t i = 0; i < meshes.size(); ++i) {
        if (usesCurrentMaterial(i)) {
            meshes[i]->setTexture(found);
        }
    }
}

void ThreeDsLoader::readColor(ChunkCursor content) {
    if (content.remaining() < 3) {
        write("Warning: colour cut short, ignored.\n");
        return;
    }
    const int r = content.read8();
    const int g = content.read8();
    const int b = content.read8();
    write("R=%d G=%d B=%d\n", r, g, b);
    applyColor(unitColor(r), unitColor(g), unitColor(b));
}

// Some tools write their colours as floats only; they are logged as the bytes they round to.
void ThreeDsLoader::readFloatColor(ChunkCursor content) {
    if (content.remaining() < 12) {
        write("Warning: colour cut short, ignored.\n");
        return;
    }
    const float r = clampedUnit(content.readFloat());
    const float g = clampedUnit(content.readFloat());
    const float b = clampedUnit(content.readFloat());
    write("R=%d G=%d B=%d\n", toByte(r), toByte(g), toByte(b));
    applyColor(r, g, b);
}

// A colour reaches the meshes as part of the whole working material, which replaces theirs.
void ThreeDsLoader::applyColor(float red, float green, float blue) {
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

// A mesh without a face material list uses no material, not one with an empty name.
bool ThreeDsLoader::usesCurrentMaterial(std::size_t mesh) const {
    return !meshMaterials[mesh].empty() && meshMaterials[mesh] == currentMaterial;
}

} // namespace velmorra
