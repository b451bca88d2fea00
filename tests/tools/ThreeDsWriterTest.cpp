#include "ThreeDsWriter.h"
#include "tools/ChunkTree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmorra {
namespace {

using test::Chunk;
using test::ChunkTree;
using tools::ThreeDsWriter;

ThreeDsWriter::Mesh triangleMesh() {
    ThreeDsWriter::Mesh mesh;
    mesh.name = "Tri";
    mesh.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 2}};
    mesh.mapping = {{0, 0}, {1, 0}, {0, 1}};
    mesh.faces = {{0, 1, 2}};
    mesh.groups = {{"Stone", {0}}};
    return mesh;
}

ThreeDsWriter::Material stone() {
    return {"Stone", {10, 20, 30}, {255, 128, 0}, {200, 200, 200}, 40, "stone.bmp"};
}

TEST(ThreeDsWriterTest, SceneLaysOutTheChunkTreeWithHandCountedLengths) {
    const std::vector<ThreeDsWriter::Material> materials{stone()};
    const std::vector<ThreeDsWriter::Mesh> meshes{triangleMesh()};
    const ChunkTree tree(ThreeDsWriter::scene(materials, meshes));
    ASSERT_TRUE(tree.isConsistent());
    ASSERT_EQ(tree.top().size(), 1u);
    const Chunk& main = tree.top()[0];
    EXPECT_EQ(main.id, 0x4D4D);
    const Chunk* editor = main.find(0x3D3D);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->count(0xAFFF), 1);
    EXPECT_EQ(editor->count(0x4000), 1);

    const Chunk* object = editor->find(0x4000);
    EXPECT_EQ(tree.name(object->dataOffset), "Tri");
    const Chunk* mesh = object->find(0x4100);
    ASSERT_NE(mesh, nullptr);
    const Chunk* vertices = mesh->find(0x4110);
    EXPECT_EQ(vertices->length, 6u + 2u + 3u * 12u);
    EXPECT_EQ(tree.u16(vertices->dataOffset), 3);
    EXPECT_FLOAT_EQ(tree.f32(vertices->dataOffset + 2 + 2 * 12 + 8), 2.0f);
    EXPECT_EQ(mesh->find(0x4140)->length, 6u + 2u + 3u * 8u);
    const Chunk* faces = mesh->find(0x4120);
    // Face data, then the face material list: header, "Stone\0", count, one index.
    EXPECT_EQ(faces->length, 6u + 2u + 8u + (6u + 6u + 2u + 2u));
    EXPECT_EQ(tree.u16(faces->dataOffset + 2 + 6), 7); // all edges visible
    const Chunk* group = faces->find(0x4130);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(tree.name(group->dataOffset), "Stone");

    const Chunk* material = editor->find(0xAFFF);
    EXPECT_EQ(tree.name(material->find(0xA000)->dataOffset), "Stone");
    const Chunk* diffuse = material->find(0xA020)->find(0x0011);
    EXPECT_EQ(diffuse->length, 9u);
    EXPECT_EQ(tree.u16(diffuse->dataOffset), 0x80FF); // 255, 128 little-endian
    const Chunk* map = material->find(0xA200);
    EXPECT_EQ(tree.name(map->find(0xA300)->dataOffset), "stone.bmp");
}

TEST(ThreeDsWriterTest, MaterialsComeBeforeObjectsAndColoursBeforeTheMap) {
    const std::vector<ThreeDsWriter::Material> materials{stone(), {"Moss", {}, {}, {}, 5, ""}};
    const std::vector<ThreeDsWriter::Mesh> meshes{triangleMesh(), triangleMesh()};
    const ChunkTree tree(ThreeDsWriter::scene(materials, meshes));
    ASSERT_TRUE(tree.isConsistent());
    const Chunk& editor = *tree.top()[0].find(0x3D3D);
    std::vector<std::uint16_t> order;
    for (const Chunk& child : editor.children) {
        order.push_back(child.id);
    }
    EXPECT_EQ(order, (std::vector<std::uint16_t>{0x3D3E, 0xAFFF, 0xAFFF, 0x0100, 0x4000, 0x4000}));
    std::vector<std::uint16_t> inMaterial;
    for (const Chunk& child : editor.find(0xAFFF)->children) {
        inMaterial.push_back(child.id);
    }
    EXPECT_EQ(inMaterial,
              (std::vector<std::uint16_t>{0xA000, 0xA010, 0xA020, 0xA030, 0xA040, 0xA200}));
    EXPECT_EQ(editor.find(0xAFFF, 1)->find(0xA200), nullptr);
}

std::vector<std::uint16_t> childIds(const Chunk& chunk) {
    std::vector<std::uint16_t> ids;
    for (const Chunk& child : chunk.children) {
        ids.push_back(child.id);
    }
    return ids;
}

TEST(ThreeDsWriterTest, WritesTheChunksModellingToolsAdd) {
    ThreeDsWriter::Mesh mesh = triangleMesh();
    mesh.localAxes = true;
    mesh.smoothingGroups = true;
    mesh.mappingAfterFaces = true;
    ThreeDsWriter::Material studio = stone();
    studio.colourForm = ThreeDsWriter::ColourForm::bytesAndLinear;
    studio.studioExtras = true;
    ThreeDsWriter::Material floats = stone();
    floats.colourForm = ThreeDsWriter::ColourForm::floats;
    ThreeDsWriter writer;
    writer.beginChunk(ThreeDsChunk::main);
    writer.beginChunk(ThreeDsChunk::editor);
    writer.materialBlock(studio);
    writer.materialBlock(floats);
    writer.namedObject(mesh);
    writer.lightObject("Light01");
    writer.endChunk();
    const std::vector<std::string> nodes{"Tri", "Light01"};
    writer.keyframer(nodes);
    writer.endChunk();

    const ChunkTree tree(writer.bytes());
    ASSERT_TRUE(tree.isConsistent());
    const Chunk& main = tree.top()[0];
    EXPECT_EQ(childIds(main), (std::vector<std::uint16_t>{0x3D3D, 0xB000}));
    const Chunk& editor = *main.find(0x3D3D);
    const Chunk& triangles = *editor.find(0x4000)->find(0x4100);
    EXPECT_EQ(childIds(triangles), (std::vector<std::uint16_t>{0x4110, 0x4160, 0x4120, 0x4140}));
    EXPECT_EQ(triangles.find(0x4160)->length, 6u + 12u * 4u);
    const Chunk& faces = *triangles.find(0x4120);
    EXPECT_EQ(childIds(faces), (std::vector<std::uint16_t>{0x4130, 0x4150}));
    EXPECT_EQ(faces.find(0x4150)->length, 6u + 4u);

    const Chunk& material = *editor.find(0xAFFF);
    EXPECT_EQ(childIds(material), (std::vector<std::uint16_t>{0xA000, 0xA010, 0xA020, 0xA030,
                                                              0xA040, 0xA041, 0xA050, 0xA100,
                                                              0xA200}));
    EXPECT_EQ(childIds(*material.find(0xA020)), (std::vector<std::uint16_t>{0x0011, 0x0012}));
    EXPECT_EQ(childIds(*material.find(0xA200)),
              (std::vector<std::uint16_t>{0x0030, 0xA300, 0xA351, 0xA353}));
    const Chunk& floatDiffuse = *editor.find(0xAFFF, 1)->find(0xA020);
    EXPECT_EQ(childIds(floatDiffuse), (std::vector<std::uint16_t>{0x0010}));
    EXPECT_FLOAT_EQ(tree.f32(floatDiffuse.find(0x0010)->dataOffset + 4), 128 / 255.0f);

    const Chunk& light = *editor.find(0x4000, 1)->find(0x4600);
    EXPECT_EQ(childIds(light), (std::vector<std::uint16_t>{0x0010, 0x4610}));
    const Chunk& keyframer = *main.find(0xB000);
    EXPECT_EQ(childIds(keyframer),
              (std::vector<std::uint16_t>{0xB00A, 0xB008, 0xB009, 0xB002, 0xB002}));
    EXPECT_EQ(tree.name(keyframer.find(0xB002, 1)->find(0xB010)->dataOffset), "Light01");
}

TEST(ThreeDsWriterTest, BrokenShapesCanBeComposed) {
    ThreeDsWriter writer;
    writer.beginChunk(ThreeDsChunk::main);
    writer.beginChunk(ThreeDsChunk::editor);
    writer.cameraObject("Camera01");
    writer.beginChunk(ThreeDsChunk::object);
    writer.raw().putName(std::string(80, 'N'));
    writer.beginChunk(ThreeDsChunk::triangleMesh);
    const std::vector<ThreeDsWriter::Vertex> vertices{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    EXPECT_TRUE(writer.vertexList(vertices));
    const std::vector<ThreeDsWriter::Mapping> shortMapping{{0.5f, 0.5f}};
    EXPECT_TRUE(writer.mappingList(shortMapping));
    const std::vector<ThreeDsWriter::Face> faces{{0, 1, 9}};
    EXPECT_TRUE(writer.faceList(faces));
    EXPECT_TRUE(writer.faceList(faces)); // a second face list in the same object
    writer.endChunk();
    writer.endChunkStating(100000); // the object claims more than the file holds
    EXPECT_EQ(writer.openChunks(), 2);
    writer.endChunk();
    writer.endChunk();
    EXPECT_EQ(writer.openChunks(), 0);

    const ChunkTree tree(writer.bytes());
    EXPECT_FALSE(tree.isConsistent());
    EXPECT_EQ(tree.u32(2), writer.bytes().size());
    const std::vector<std::uint8_t> cut = writer.truncated(40);
    EXPECT_EQ(cut.size(), 40u);
    EXPECT_TRUE(std::equal(cut.begin(), cut.end(), writer.bytes().begin()));
    EXPECT_EQ(writer.truncated(1u << 20).size(), writer.bytes().size());
}

TEST(ThreeDsWriterTest, ListsBeyondSixteenBitCountsAreRefused) {
    ThreeDsWriter writer;
    const std::vector<ThreeDsWriter::Vertex> tooMany(65536);
    EXPECT_FALSE(writer.vertexList(tooMany));
    EXPECT_TRUE(writer.bytes().empty());
    const std::vector<ThreeDsWriter::Vertex> most(65535);
    EXPECT_TRUE(writer.vertexList(most));
    EXPECT_EQ(writer.bytes().size(), 6u + 2u + 65535u * 12u);
}

} // namespace
} // namespace velmorra
