#include "ThreeDsWriter.h"

#include <algorithm>

namespace velmorra::tools {

std::vector<std::uint8_t> ThreeDsWriter::scene(std::span<const Material> materials,
                                               std::span<const Mesh> meshes) {
    ThreeDsWriter writer;
    writer.beginChunk(mainChunk);
    writer.beginChunk(versionChunk);
    writer.raw().put32(3);
    writer.endChunk();
    writer.beginChunk(editorChunk);
    writer.beginChunk(meshVersionChunk);
    writer.raw().put32(3);
    writer.endChunk();
    for (const Material& material : materials) {
        writer.materialBlock(material);
    }
    writer.beginChunk(masterScaleChunk);
    writer.raw().putFloat(1.0f);
    writer.endChunk();
    for (const Mesh& mesh : meshes) {
        writer.namedObject(mesh);
    }
    writer.endChunk();
    writer.endChunk();
    return writer.bytes();
}

void ThreeDsWriter::beginChunk(std::uint16_t id) {
    open.push_back(sink.size());
    sink.put16(id);
    sink.put32(0);
}

void ThreeDsWriter::endChunk() {
    if (!open.empty()) {
        endChunkStating(static_cast<std::uint32_t>(sink.size() - open.back()));
    }
}

void ThreeDsWriter::endChunkStating(std::uint32_t length) {
    if (open.empty()) {
        return;
    }
    sink.patch32(open.back() + 2, length);
    open.pop_back();
}

void ThreeDsWriter::name(std::uint16_t id, const std::string& text) {
    beginChunk(id);
    sink.putName(text);
    endChunk();
}

bool ThreeDsWriter::vertexList(std::span<const Vertex> vertices) {
    if (vertices.size() > countLimit) {
        return false;
    }
    beginChunk(vertexListChunk);
    sink.put16(static_cast<std::uint16_t>(vertices.size()));
    for (const Vertex& vertex : vertices) {
        sink.putFloat(vertex.x);
        sink.putFloat(vertex.y);
        sink.putFloat(vertex.z);
    }
    endChunk();
    return true;
}

bool ThreeDsWriter::mappingList(std::span<const Mapping> mapping) {
    if (mapping.size() > countLimit) {
        return false;
    }
    beginChunk(mappingChunk);
    sink.put16(static_cast<std::uint16_t>(mapping.size()));
    for (const Mapping& coordinate : mapping) {
        sink.putFloat(coordinate.u);
        sink.putFloat(coordinate.v);
    }
    endChunk();
    return true;
}

bool ThreeDsWriter::faceList(std::span<const Face> faces, std::span<const FaceGroup> groups) {
    const bool groupTooLong = std::any_of(groups.begin(), groups.end(), [](const FaceGroup& g) {
        return g.faces.size() > countLimit;
    });
    if (faces.size() > countLimit || groupTooLong) {
        return false;
    }
    beginChunk(faceListChunk);
    sink.put16(static_cast<std::uint16_t>(faces.size()));
    for (const Face& face : faces) {
        sink.put16(face.a);
        sink.put16(face.b);
        sink.put16(face.c);
        sink.put16(face.flags);
    }
    for (const FaceGroup& group : groups) {
        faceMaterialList(group);
    }
    endChunk();
    return true;
}

bool ThreeDsWriter::faceMaterialList(const FaceGroup& group) {
    if (group.faces.size() > countLimit) {
        return false;
    }
    beginChunk(faceMaterialChunk);
    sink.putName(group.material);
    sink.put16(static_cast<std::uint16_t>(group.faces.size()));
    for (const std::uint16_t face : group.faces) {
        sink.put16(face);
    }
    endChunk();
    return true;
}

void ThreeDsWriter::colour24(Colour24 colour) {
    beginChunk(colour24Chunk);
    sink.put8(colour.red);
    sink.put8(colour.green);
    sink.put8(colour.blue);
    endChunk();
}

void ThreeDsWriter::colourFloat(float red, float green, float blue) {
    beginChunk(colourFloatChunk);
    sink.putFloat(red);
    sink.putFloat(green);
    sink.putFloat(blue);
    endChunk();
}

void ThreeDsWriter::percent(std::uint16_t value) {
    beginChunk(percentChunk);
    sink.put16(value);
    endChunk();
}

void ThreeDsWriter::namedObject(const Mesh& mesh) {
    beginChunk(objectChunk);
    sink.putName(mesh.name);
    beginChunk(triangleMeshChunk);
    vertexList(mesh.vertices);
    if (!mesh.mapping.empty()) {
        mappingList(mesh.mapping);
    }
    faceList(mesh.faces, mesh.groups);
    endChunk();
    endChunk();
}

void ThreeDsWriter::cameraObject(const std::string& objectName) {
    beginChunk(objectChunk);
    sink.putName(objectName);
    beginChunk(cameraChunk);
    for (const float value : {0.0f, -10.0f, 2.0f, 0.0f, 0.0f, 0.0f, 0.0f, 45.0f}) {
        sink.putFloat(value); // position, target, bank angle, lens
    }
    endChunk();
    endChunk();
}

void ThreeDsWriter::materialBlock(const Material& material) {
    beginChunk(materialChunk);
    name(materialNameChunk, material.name);
    const std::pair<std::uint16_t, Colour24> colours[] = {{ambientChunk, material.ambient},
                                                          {diffuseChunk, material.diffuse},
                                                          {specularChunk, material.specular}};
    for (const auto& [id, colour] : colours) {
        beginChunk(id);
        colour24(colour);
        endChunk();
    }
    beginChunk(shininessChunk);
    percent(material.shininessPercent);
    endChunk();
    if (!material.textureMap.empty()) {
        beginChunk(textureMapChunk);
        percent(100);
        name(mapFileNameChunk, material.textureMap);
        endChunk();
    }
    endChunk();
}

std::vector<std::uint8_t> ThreeDsWriter::truncated(std::size_t length) const {
    const std::vector<std::uint8_t>& all = sink.data();
    return {all.begin(), all.begin() + static_cast<std::ptrdiff_t>(std::min(length, all.size()))};
}

bool ThreeDsWriter::writeFile(const std::string& fileName) const {
    return ByteSink::writeFile(fileName, sink.data());
}

} // namespace velmorra::tools
