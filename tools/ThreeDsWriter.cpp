#include "ThreeDsWriter.h"

#include <algorithm>

namespace velmorra::tools {

std::vector<std::uint8_t> ThreeDsWriter::scene(std::span<const Material> materials,
                                               std::span<const Mesh> meshes) {
    ThreeDsWriter writer;
    writer.beginChunk(ThreeDsChunk::main);
    writer.beginChunk(ThreeDsChunk::version);
    writer.raw().put32(3);
    writer.endChunk();
    writer.beginChunk(ThreeDsChunk::editor);
    writer.beginChunk(ThreeDsChunk::meshVersion);
    writer.raw().put32(3);
    writer.endChunk();
    for (const Material& material : materials) {
        writer.materialBlock(material);
    }
    writer.beginChunk(ThreeDsChunk::masterScale);
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
    beginChunk(ThreeDsChunk::vertexList);
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
    beginChunk(ThreeDsChunk::mapping);
    sink.put16(static_cast<std::uint16_t>(mapping.size()));
    for (const Mapping& coordinate : mapping) {
        sink.putFloat(coordinate.u);
        sink.putFloat(coordinate.v);
    }
    endChunk();
    return true;
}

bool ThreeDsWriter::faceList(std::span<const Face> faces, std::span<const FaceGroup> groups,
                             bool smoothing) {
    const bool groupTooLong = std::any_of(groups.begin(), groups.end(), [](const FaceGroup& g) {
        return g.faces.size() > countLimit;
    });
    if (faces.size() > countLimit || groupTooLong) {
        return false;
    }
    beginChunk(ThreeDsChunk::faceList);
    faceData(faces);
    for (const FaceGroup& group : groups) {
        faceMaterialList(group);
    }
    if (smoothing) {
        smoothingList(faces.size());
    }
    endChunk();
    return true;
}

void ThreeDsWriter::faceData(std::span<const Face> faces) {
    sink.put16(static_cast<std::uint16_t>(faces.size()));
    for (const Face& face : faces) {
        sink.put16(face.a);
        sink.put16(face.b);
        sink.put16(face.c);
        sink.put16(face.flags);
    }
}

bool ThreeDsWriter::faceMaterialList(const FaceGroup& group) {
    if (group.faces.size() > countLimit) {
        return false;
    }
    beginChunk(ThreeDsChunk::faceMaterial);
    sink.putName(group.material);
    sink.put16(static_cast<std::uint16_t>(group.faces.size()));
    for (const std::uint16_t face : group.faces) {
        sink.put16(face);
    }
    endChunk();
    return true;
}

void ThreeDsWriter::colour24(Colour24 colour, std::uint16_t id) {
    beginChunk(id);
    sink.put8(colour.red);
    sink.put8(colour.green);
    sink.put8(colour.blue);
    endChunk();
}

void ThreeDsWriter::colourFloat(float red, float green, float blue) {
    beginChunk(ThreeDsChunk::colourFloat);
    sink.putFloat(red);
    sink.putFloat(green);
    sink.putFloat(blue);
    endChunk();
}

void ThreeDsWriter::percent(std::uint16_t value) {
    beginChunk(ThreeDsChunk::percent);
    sink.put16(value);
    endChunk();
}

void ThreeDsWriter::smoothingList(std::size_t faceCount) {
    beginChunk(ThreeDsChunk::smoothing);
    for (std::size_t i = 0; i < faceCount; ++i) {
        sink.put32(1);
    }
    endChunk();
}

void ThreeDsWriter::localAxes() {
    beginChunk(ThreeDsChunk::localAxes);
    for (const float value : {1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f}) {
        sink.putFloat(value); // the three axes, then the origin
    }
    for (int i = 0; i < 3; ++i) {
        sink.putFloat(0.0f);
    }
    endChunk();
}

void ThreeDsWriter::namedObject(const Mesh& mesh) {
    beginChunk(ThreeDsChunk::object);
    sink.putName(mesh.name);
    beginChunk(ThreeDsChunk::triangleMesh);
    vertexList(mesh.vertices);
    if (!mesh.mapping.empty() && !mesh.mappingAfterFaces) {
        mappingList(mesh.mapping);
    }
    if (mesh.localAxes) {
        localAxes();
    }
    faceList(mesh.faces, mesh.groups, mesh.smoothingGroups);
    if (!mesh.mapping.empty() && mesh.mappingAfterFaces) {
        mappingList(mesh.mapping);
    }
    endChunk();
    endChunk();
}

void ThreeDsWriter::cameraObject(const std::string& objectName) {
    beginChunk(ThreeDsChunk::object);
    sink.putName(objectName);
    beginChunk(ThreeDsChunk::camera);
    for (const float value : {0.0f, -10.0f, 2.0f, 0.0f, 0.0f, 0.0f, 0.0f, 45.0f}) {
        sink.putFloat(value); // position, target, bank angle, lens
    }
    endChunk();
    endChunk();
}

void ThreeDsWriter::lightObject(const std::string& objectName) {
    beginChunk(ThreeDsChunk::object);
    sink.putName(objectName);
    beginChunk(ThreeDsChunk::light);
    for (const float value : {5.0f, -5.0f, 10.0f}) {
        sink.putFloat(value); // position
    }
    colourFloat(1.0f, 0.9f, 0.8f);
    beginChunk(ThreeDsChunk::spotlight);
    for (const float value : {0.0f, 0.0f, 0.0f, 30.0f, 45.0f}) {
        sink.putFloat(value); // target, hotspot, falloff
    }
    endChunk();
    endChunk();
    endChunk();
}

void ThreeDsWriter::keyframer(std::span<const std::string> objectNames) {
    beginChunk(ThreeDsChunk::keyframer);
    beginChunk(ThreeDsChunk::keyframerHeader);
    sink.put16(5); // revision
    sink.putName("MAXSCENE");
    sink.put32(100); // animation length
    endChunk();
    beginChunk(ThreeDsChunk::frameRange);
    sink.put32(0);
    sink.put32(100);
    endChunk();
    beginChunk(ThreeDsChunk::currentFrame);
    sink.put32(0);
    endChunk();
    std::uint16_t id = 0;
    for (const std::string& objectName : objectNames) {
        beginChunk(ThreeDsChunk::objectNode);
        beginChunk(ThreeDsChunk::nodeId);
        sink.put16(id++);
        endChunk();
        beginChunk(ThreeDsChunk::nodeHeader);
        sink.putName(objectName);
        sink.put16(0x4000); // flags
        sink.put16(0);
        sink.put16(0xFFFF); // no parent
        endChunk();
        beginChunk(ThreeDsChunk::pivot);
        for (int i = 0; i < 3; ++i) {
            sink.putFloat(0.0f);
        }
        endChunk();
        beginChunk(ThreeDsChunk::positionTrack);
        sink.put16(0); // flags
        sink.put32(0);
        sink.put32(0);
        sink.put32(1); // one key: frame 0, no spline values, the position
        sink.put32(0);
        sink.put16(0);
        for (int i = 0; i < 3; ++i) {
            sink.putFloat(0.0f);
        }
        endChunk();
        endChunk();
    }
    endChunk();
}

void ThreeDsWriter::materialColour(std::uint16_t slot, Colour24 colour, ColourForm form) {
    beginChunk(slot);
    if (form == ColourForm::floats) {
        colourFloat(colour.red / 255.0f, colour.green / 255.0f, colour.blue / 255.0f);
    } else {
        colour24(colour);
        if (form == ColourForm::bytesAndLinear) {
            colour24(colour, ThreeDsChunk::linearColour24);
        }
    }
    endChunk();
}

void ThreeDsWriter::materialBlock(const Material& material) {
    beginChunk(ThreeDsChunk::materialBlock);
    name(ThreeDsChunk::materialName, material.name);
    materialColour(ThreeDsChunk::ambient, material.ambient, material.colourForm);
    materialColour(ThreeDsChunk::diffuse, material.diffuse, material.colourForm);
    materialColour(ThreeDsChunk::specular, material.specular, material.colourForm);
    beginChunk(ThreeDsChunk::shininess);
    percent(material.shininessPercent);
    endChunk();
    if (material.studioExtras) {
        for (const std::uint16_t id : {ThreeDsChunk::shininessStrength, ThreeDsChunk::transparency}) {
            beginChunk(id);
            percent(0);
            endChunk();
        }
        beginChunk(ThreeDsChunk::shading);
        sink.put16(3); // Phong
        endChunk();
    }
    if (!material.textureMap.empty()) {
        beginChunk(ThreeDsChunk::textureMap);
        percent(100);
        name(ThreeDsChunk::mapFileName, material.textureMap);
        if (material.studioExtras) {
            beginChunk(ThreeDsChunk::mapTiling);
            sink.put16(0);
            endChunk();
            beginChunk(ThreeDsChunk::mapBlur);
            sink.putFloat(0.07f);
            endChunk();
        }
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
