#pragma once

// 3DS files for the loader's tests and the seeds of its fuzz target, made with the content
// tools' writer: well-formed scenes and each kind of damage the loader must survive.

#include "ThreeDsWriter.h"

#include <cstdint>
#include <string>
#include <vector>

namespace velmorra::test::samples {

using tools::ThreeDsWriter;
using Bytes = std::vector<std::uint8_t>;

inline ThreeDsWriter::Mesh triangle(const std::string& name, const std::string& material) {
    ThreeDsWriter::Mesh mesh;
    mesh.name = name;
    mesh.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 2}};
    mesh.mapping = {{0, 0}, {1, 0}, {0, 1}};
    mesh.faces = {{0, 1, 2}};
    if (!material.empty()) {
        mesh.groups = {{material, {0}}};
    }
    return mesh;
}

// Ambient (10, 20, 30), diffuse (255, 128, 0), specular (1, 2, 3), texture "tex.bmp".
inline ThreeDsWriter::Material red() {
    return {"Red", {10, 20, 30}, {255, 128, 0}, {1, 2, 3}, 20, "tex.bmp"};
}

// One mesh "Box" of one triangle with mapping, using the material "Red".
inline Bytes smallScene() {
    const std::vector<ThreeDsWriter::Material> materials{red()};
    const std::vector<ThreeDsWriter::Mesh> meshes{triangle("Box", "Red")};
    return ThreeDsWriter::scene(materials, meshes);
}

inline Bytes sharedMaterial() {
    const std::vector<ThreeDsWriter::Material> materials{red()};
    const std::vector<ThreeDsWriter::Mesh> meshes{triangle("One", "Red"), triangle("Two", "Red")};
    return ThreeDsWriter::scene(materials, meshes);
}

// "Red" is used by no mesh; "Box" names a material the file does not have.
inline Bytes unusedMaterial() {
    const std::vector<ThreeDsWriter::Material> materials{red()};
    const std::vector<ThreeDsWriter::Mesh> meshes{triangle("Box", "Absent")};
    return ThreeDsWriter::scene(materials, meshes);
}

// Opens the main and editor chunks; close them with closeFile.
inline void openFile(ThreeDsWriter& writer) {
    writer.beginChunk(ThreeDsChunk::main);
    writer.beginChunk(ThreeDsChunk::editor);
}

inline Bytes closeFile(ThreeDsWriter& writer) {
    while (writer.openChunks() > 0) {
        writer.endChunk();
    }
    return writer.bytes();
}

// Cameras before, between and after two meshes.
inline Bytes camerasAmongMeshes() {
    ThreeDsWriter writer;
    openFile(writer);
    writer.cameraObject("Camera01");
    writer.namedObject(triangle("First", ""));
    writer.cameraObject("Camera02");
    writer.namedObject(triangle("Second", ""));
    writer.cameraObject("Camera03");
    return closeFile(writer);
}

inline Bytes withoutEditor() {
    ThreeDsWriter writer;
    writer.beginChunk(ThreeDsChunk::main);
    writer.beginChunk(ThreeDsChunk::version);
    writer.raw().put32(3);
    return closeFile(writer);
}

inline Bytes wrongFirstChunk() {
    Bytes bytes = smallScene();
    bytes[1] = 0x4C;
    return bytes;
}

// Material "A" sets only a diffuse red, the next block "B" only an ambient green. Meshes "UsesA"
// and "UsesB" name them.
inline Bytes carriedMaterial() {
    ThreeDsWriter writer;
    openFile(writer);
    const auto block = [&](const std::string& name, std::uint16_t slot,
                           ThreeDsWriter::Colour24 colour) {
        writer.beginChunk(ThreeDsChunk::materialBlock);
        writer.name(ThreeDsChunk::materialName, name);
        writer.beginChunk(slot);
        writer.colour24(colour);
        writer.endChunk();
        writer.endChunk();
    };
    block("A", ThreeDsChunk::diffuse, {255, 0, 0});
    block("B", ThreeDsChunk::ambient, {0, 255, 0});
    writer.namedObject(triangle("UsesA", "A"));
    writer.namedObject(triangle("UsesB", "B"));
    return closeFile(writer);
}

// The texture map comes before a colour in the material block.
inline Bytes colourAfterTexture() {
    ThreeDsWriter writer;
    openFile(writer);
    writer.beginChunk(ThreeDsChunk::materialBlock);
    writer.name(ThreeDsChunk::materialName, "T");
    writer.beginChunk(ThreeDsChunk::textureMap);
    writer.name(ThreeDsChunk::mapFileName, "tex.bmp");
    writer.endChunk();
    writer.beginChunk(ThreeDsChunk::diffuse);
    writer.colour24({0, 0, 255});
    writer.endChunk();
    writer.endChunk();
    writer.namedObject(triangle("Box", "T"));
    return closeFile(writer);
}

// One object whose mesh holds a vertex list and two face lists, naming "A" and then "B".
inline Bytes extraFaceList() {
    ThreeDsWriter writer;
    openFile(writer);
    const ThreeDsWriter::Mesh mesh = triangle("Two", "");
    writer.beginChunk(ThreeDsChunk::object);
    writer.raw().putName("Two");
    writer.beginChunk(ThreeDsChunk::triangleMesh);
    writer.vertexList(mesh.vertices);
    const std::vector<ThreeDsWriter::FaceGroup> first{{"A", {0}}};
    const std::vector<ThreeDsWriter::FaceGroup> second{{"B", {0}}};
    writer.faceList(mesh.faces, first);
    writer.faceList(mesh.faces, second);
    return closeFile(writer);
}

// An object name of 80 characters, a material name of 60 and a texture name of 300.
inline Bytes longNames() {
    ThreeDsWriter::Material material = red();
    material.name = std::string(60, 'm');
    material.textureMap = std::string(300, 't');
    const std::vector<ThreeDsWriter::Material> materials{material};
    const std::vector<ThreeDsWriter::Mesh> meshes{
        triangle(std::string(80, 'o'), std::string(60, 'm'))};
    return ThreeDsWriter::scene(materials, meshes);
}

// Three vertices but a single mapping coordinate (0.5, 0.25).
inline Bytes shortMapping() {
    ThreeDsWriter::Mesh mesh = triangle("Short", "");
    mesh.mapping = {{0.5f, 0.25f}};
    const std::vector<ThreeDsWriter::Mesh> meshes{mesh};
    return ThreeDsWriter::scene({}, meshes);
}

// Inside the mesh, after the vertex list, a chunk states a length past the end of the mesh, so
// the face list after it is never reached.
inline Bytes lengthPastParent() {
    ThreeDsWriter writer;
    openFile(writer);
    const ThreeDsWriter::Mesh mesh = triangle("Cut", "");
    writer.beginChunk(ThreeDsChunk::object);
    writer.raw().putName("Cut");
    writer.beginChunk(ThreeDsChunk::triangleMesh);
    writer.vertexList(mesh.vertices);
    writer.beginChunk(ThreeDsChunk::mapping);
    writer.raw().put16(0);
    writer.endChunkStating(1000);
    writer.faceList(mesh.faces);
    return closeFile(writer);
}

// The editor chunk states a length past the end of the file.
inline Bytes lengthPastFile() {
    ThreeDsWriter writer;
    openFile(writer);
    writer.namedObject(triangle("Lost", ""));
    writer.endChunkStating(0x7FFFFFFF);
    return closeFile(writer);
}

// A chunk length smaller than its own header.
inline Bytes lengthInsideHeader() {
    ThreeDsWriter writer;
    openFile(writer);
    writer.namedObject(triangle("Kept", ""));
    writer.beginChunk(ThreeDsChunk::object);
    writer.raw().putName("Broken");
    writer.endChunkStating(3);
    writer.namedObject(triangle("Unread", ""));
    return closeFile(writer);
}

// A vertex list that counts five vertices but holds three, used by a face of vertices 2, 3, 4.
inline Bytes listPastChunk() {
    ThreeDsWriter writer;
    openFile(writer);
    writer.beginChunk(ThreeDsChunk::object);
    writer.raw().putName("Long");
    writer.beginChunk(ThreeDsChunk::triangleMesh);
    writer.beginChunk(ThreeDsChunk::vertexList);
    writer.raw().put16(5);
    for (int i = 0; i < 9; ++i) {
        writer.raw().putFloat(1.0f);
    }
    writer.endChunk();
    const std::vector<ThreeDsWriter::Face> faces{{2, 3, 4}};
    writer.faceList(faces);
    return closeFile(writer);
}

// A face that names vertex 7 of three.
inline Bytes facePastVertices() {
    ThreeDsWriter::Mesh mesh = triangle("Holes", "");
    mesh.faces = {{0, 1, 2}, {0, 1, 7}};
    const std::vector<ThreeDsWriter::Mesh> meshes{mesh};
    return ThreeDsWriter::scene({}, meshes);
}

// A face material list ahead of the file's first face list.
inline Bytes materialBeforeFaces() {
    ThreeDsWriter writer;
    openFile(writer);
    const ThreeDsWriter::Mesh mesh = triangle("Early", "");
    writer.beginChunk(ThreeDsChunk::object);
    writer.raw().putName("Early");
    writer.beginChunk(ThreeDsChunk::triangleMesh);
    writer.vertexList(mesh.vertices);
    writer.faceMaterialList({"Red", {0}});
    writer.faceList(mesh.faces);
    return closeFile(writer);
}

// Triangle mesh chunks nested forty deep around the vertex list.
inline Bytes nestedDeep() {
    ThreeDsWriter writer;
    openFile(writer);
    const ThreeDsWriter::Mesh mesh = triangle("Deep", "");
    writer.beginChunk(ThreeDsChunk::object);
    writer.raw().putName("Deep");
    for (int level = 0; level < 40; ++level) {
        writer.beginChunk(ThreeDsChunk::triangleMesh);
    }
    writer.vertexList(mesh.vertices);
    writer.faceList(mesh.faces);
    return closeFile(writer);
}

// The layouts modelling tools write, as far as the loader is concerned.
//
// "Studio": what 3D Studio and its successors write. Version chunk; editor with the mesh
// version, every material block first (colours as 24-bit and linear 24-bit, shininess strength,
// transparency, shading, a texture map with tiling and blur), the master scale, the ambient
// light, then the named objects in creation order (a mesh with its local axes and smoothing
// groups, a camera, a spotlight, another mesh); then the keyframer section with one node per
// object. The texture name is written in capitals, as DOS-era tools stored it.
inline Bytes studioScene() {
    ThreeDsWriter::Material material = red();
    material.textureMap = "TEX.BMP";
    material.colourForm = ThreeDsWriter::ColourForm::bytesAndLinear;
    material.studioExtras = true;
    ThreeDsWriter::Mesh first = triangle("First", "Red");
    first.localAxes = true;
    first.smoothingGroups = true;
    ThreeDsWriter::Mesh second = first;
    second.name = "Second";
    second.mapping = {{0.5f, 0.5f}, {1, 0.5f}, {0.5f, 1}};
    ThreeDsWriter writer;
    writer.beginChunk(ThreeDsChunk::main);
    writer.beginChunk(ThreeDsChunk::version);
    writer.raw().put32(3);
    writer.endChunk();
    writer.beginChunk(ThreeDsChunk::editor);
    writer.beginChunk(ThreeDsChunk::meshVersion);
    writer.raw().put32(3);
    writer.endChunk();
    writer.materialBlock(material);
    writer.beginChunk(ThreeDsChunk::masterScale);
    writer.raw().putFloat(1.0f);
    writer.endChunk();
    writer.beginChunk(ThreeDsChunk::ambientLight);
    writer.colourFloat(0.1f, 0.1f, 0.1f);
    writer.endChunk();
    writer.namedObject(first);
    writer.cameraObject("Camera01");
    writer.lightObject("Light01");
    writer.namedObject(second);
    writer.endChunk();
    const std::vector<std::string> nodes{"First", "Camera01", "Light01", "Second"};
    writer.keyframer(nodes);
    return closeFile(writer);
}

// "Exporter": what converters and exporters of other programs write. A dummy object with an
// empty mesh (no vertices, no faces) first, the mapping list after the face list, the material
// blocks after the objects with float colours only, and a texture path from the system the file
// was made on.
inline Bytes exporterScene() {
    ThreeDsWriter::Material material = red();
    material.textureMap = "maps\\Tex.bmp";
    material.colourForm = ThreeDsWriter::ColourForm::floats;
    ThreeDsWriter::Mesh empty;
    empty.name = "Dummy";
    ThreeDsWriter::Mesh first = triangle("First", "Red");
    first.mappingAfterFaces = true;
    ThreeDsWriter::Mesh second = first;
    second.name = "Second";
    second.mapping = {{0.5f, 0.5f}, {1, 0.5f}, {0.5f, 1}};
    ThreeDsWriter writer;
    openFile(writer);
    writer.namedObject(empty);
    writer.namedObject(first);
    writer.namedObject(second);
    writer.materialBlock(material);
    return closeFile(writer);
}

// Two meshes; the first writes its mapping list after its face list, the second has none.
inline Bytes mappingAfterFaces() {
    ThreeDsWriter::Mesh first = triangle("First", "");
    first.mappingAfterFaces = true;
    ThreeDsWriter::Mesh second = triangle("Second", "");
    second.mapping.clear();
    const std::vector<ThreeDsWriter::Mesh> meshes{first, second};
    return ThreeDsWriter::scene({}, meshes);
}

// An object with vertices and mapping but no face list, then a mesh without mapping.
inline Bytes mappingWithoutFaces() {
    ThreeDsWriter writer;
    openFile(writer);
    const ThreeDsWriter::Mesh mesh = triangle("Points", "");
    writer.beginChunk(ThreeDsChunk::object);
    writer.raw().putName("Points");
    writer.beginChunk(ThreeDsChunk::triangleMesh);
    writer.vertexList(mesh.vertices);
    writer.mappingList(mesh.mapping);
    writer.endChunk();
    writer.endChunk();
    ThreeDsWriter::Mesh second = triangle("Second", "");
    second.mapping.clear();
    writer.namedObject(second);
    return closeFile(writer);
}

// An empty mesh object between two meshes.
inline Bytes emptyMeshObject() {
    ThreeDsWriter::Mesh empty;
    empty.name = "Empty";
    const std::vector<ThreeDsWriter::Mesh> meshes{triangle("First", ""), empty,
                                                  triangle("Second", "")};
    return ThreeDsWriter::scene({}, meshes);
}

// Material "Red" whose diffuse chunk holds the colour twice: (255, 128, 0) as bytes and (0, 0, 1)
// as floats, in the order given; mesh "Box" uses it.
inline Bytes twoColourForms(bool bytesFirst) {
    ThreeDsWriter writer;
    openFile(writer);
    writer.beginChunk(ThreeDsChunk::materialBlock);
    writer.name(ThreeDsChunk::materialName, "Red");
    writer.beginChunk(ThreeDsChunk::diffuse);
    if (bytesFirst) {
        writer.colour24({255, 128, 0});
    }
    writer.colourFloat(0.0f, 0.0f, 1.0f);
    if (!bytesFirst) {
        writer.colour24({255, 128, 0});
    }
    writer.endChunk();
    writer.endChunk();
    writer.namedObject(triangle("Box", "Red"));
    return closeFile(writer);
}

// Mesh "Plain" names no material, "Box" names "Red". A block without a name chunk holds the
// texture tex.bmp; a block named "" a diffuse (0, 0, 255); then "Red".
inline Bytes emptyMaterialName() {
    ThreeDsWriter writer;
    openFile(writer);
    writer.beginChunk(ThreeDsChunk::materialBlock);
    writer.beginChunk(ThreeDsChunk::textureMap);
    writer.name(ThreeDsChunk::mapFileName, "tex.bmp");
    writer.endChunk();
    writer.endChunk();
    ThreeDsWriter::Material unnamed = red();
    unnamed.name.clear();
    unnamed.diffuse = {0, 0, 255};
    unnamed.textureMap.clear();
    writer.materialBlock(unnamed);
    writer.materialBlock(red());
    writer.namedObject(triangle("Plain", ""));
    writer.namedObject(triangle("Box", "Red"));
    return closeFile(writer);
}

struct Sample {
    std::string name;
    Bytes bytes;
};

// Every sample above, and cuts of the small scene.
inline std::vector<Sample> all() {
    std::vector<Sample> list = {
        {"small-scene", smallScene()},
        {"shared-material", sharedMaterial()},
        {"unused-material", unusedMaterial()},
        {"cameras-among-meshes", camerasAmongMeshes()},
        {"without-editor", withoutEditor()},
        {"wrong-first-chunk", wrongFirstChunk()},
        {"carried-material", carriedMaterial()},
        {"colour-after-texture", colourAfterTexture()},
        {"extra-face-list", extraFaceList()},
        {"long-names", longNames()},
        {"short-mapping", shortMapping()},
        {"length-past-parent", lengthPastParent()},
        {"length-past-file", lengthPastFile()},
        {"length-inside-header", lengthInsideHeader()},
        {"list-past-chunk", listPastChunk()},
        {"face-past-vertices", facePastVertices()},
        {"material-before-faces", materialBeforeFaces()},
        {"nested-deep", nestedDeep()},
        {"studio-scene", studioScene()},
        {"exporter-scene", exporterScene()},
        {"mapping-after-faces", mappingAfterFaces()},
        {"mapping-without-faces", mappingWithoutFaces()},
        {"empty-mesh-object", emptyMeshObject()},
        {"bytes-then-floats", twoColourForms(true)},
        {"floats-then-bytes", twoColourForms(false)},
        {"empty-material-name", emptyMaterialName()},
    };
    const Bytes studio = studioScene();
    for (const std::size_t cut : {studio.size() / 3, studio.size() * 2 / 3, studio.size() - 9}) {
        list.push_back({"studio-scene-cut-" + std::to_string(cut),
                        Bytes(studio.begin(), studio.begin() + static_cast<long>(cut))});
    }
    const Bytes whole = smallScene();
    for (const std::size_t cut :
         {std::size_t{1}, std::size_t{5}, whole.size() / 2, whole.size() - 1}) {
        list.push_back({"small-scene-cut-" + std::to_string(cut),
                        Bytes(whole.begin(), whole.begin() + static_cast<long>(cut))});
    }
    return list;
}

} // namespace velmorra::test::samples
