#include "scene/ThreeDsLoader.h"
#include "render/BmpBuilder.h"
#include "render/TexManager.h"
#include "scene/MeshElement.h"
#include "scene/Object.h"
#include "scene/ThreeDsSamples.h"
#include "support/GlTestContext.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>

namespace velmorra {
namespace {

namespace samples = test::samples;
using tools::ThreeDsWriter;

int openFileCount() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator("/proc/self/fd")) {
        ++count;
    }
    return count;
}

std::array<float, 4> rgba(const Color& color) {
    return {color.r, color.g, color.b, color.a};
}

// Each test writes its files into the log's fresh directory and loads them into one Object.
class ThreeDsLoaderTest : public testing::Test {
  protected:
    void SetUp() override { test::BmpBuilder::solid(4, 4, {0, 255, 0}).writeTo("tex.bmp"); }
    void TearDown() override {
        object.reset();
        EXPECT_EQ(TexManager::instance().size(), 0u);
    }

    bool load(const samples::Bytes& bytes, const std::string& fileName = "model.3ds") {
        tools::ByteSink::writeFile(fileName, bytes);
        return load3ds(fileName.c_str(), object.get());
    }

    MeshElement& mesh(int index) {
        auto* element = dynamic_cast<MeshElement*>(object->getElement(index));
        EXPECT_NE(element, nullptr);
        return *element;
    }

    // The log from the mesh pass's start line up to the closing line.
    std::string passes() {
        const std::string text = log.text();
        const std::size_t start = text.find("\nStart reading MESH\n");
        return start == std::string::npos ? text : text.substr(start);
    }

    test::GlTestContext gl;
    test::LogCapture log;
    std::unique_ptr<Object> object = std::make_unique<Object>();
};

TEST_F(ThreeDsLoaderTest, ReadsASmallFileWithItsExactLog) {
    VELMORRA_REQUIRE_GL(gl);
    ASSERT_TRUE(load(samples::smallScene(), "small.3ds"));
    EXPECT_EQ(log.text(), "Loading 3ds file: small.3ds\n"
                          "Found 1 objects.\n"
                          "Creating 1 elements.\n"
                          "\nStart reading MESH\n"
                          "  Reading object: Box\n"
                          "  Vertices: 3\n"
                          "  Mapping: 3\n"
                          "  Faces: 1\n"
                          "  Material: Red\n"
                          "End reading MESH\n"
                          "Start reading MATERIALS\n"
                          "  Reading material: Red\n"
                          "  Ambient:   R=10 G=20 B=30\n"
                          "  Diffuse:   R=255 G=128 B=0\n"
                          "  Specular:   R=1 G=2 B=3\n"
                          "  Texture: tex.bmp\n"
                          "  Loading texture file: tex.bmp\n"
                          "  Loaded 4x4 image.\n"
                          "End reading MATERIALS\n"
                          "Closing 3ds file.\n\n");
    ASSERT_EQ(object->getElementCount(), 1);
    MeshElement& box = mesh(0);
    ASSERT_TRUE(box.isBuilt());
    EXPECT_EQ(box.getVertices()[2], (Vector3{0, 2, -1}));
    EXPECT_EQ(box.getTexCoords()[2].v, 1.0f);
    const Material& material = box.getMaterial();
    EXPECT_EQ(rgba(material.getAmbient()),
              (std::array<float, 4>{10 / 255.0f, 20 / 255.0f, 30 / 255.0f, 1}));
    EXPECT_FLOAT_EQ(material.getDiffuse().r, 1.0f);
    EXPECT_FLOAT_EQ(material.getDiffuse().g, 0.50196081f);
    EXPECT_EQ(material.getDiffuse().b, 0.0f);
    EXPECT_EQ(material.getDiffuse().a, 1.0f);
    EXPECT_FLOAT_EQ(material.getSpecular().b, 3 / 255.0f);
    EXPECT_TRUE(material.getTexture(0).isLoaded());
}

TEST_F(ThreeDsLoaderTest, RefusesWhatIsNotA3dsFileAndClosesIt) {
    VELMORRA_REQUIRE_GL(gl);
    EXPECT_FALSE(load3ds(nullptr, object.get()));
    const int filesBefore = openFileCount();
    EXPECT_FALSE(load(samples::wrongFirstChunk(), "wrong.3ds"));
    EXPECT_FALSE(load3ds("missing.3ds", object.get()));
    EXPECT_FALSE(load(samples::Bytes{0x4D}, "one-byte.3ds"));
    std::filesystem::create_directory("folder.3ds");
    EXPECT_FALSE(load3ds("folder.3ds", object.get()));
    EXPECT_EQ(openFileCount(), filesBefore);
    EXPECT_EQ(object->getElementCount(), 0);
    EXPECT_EQ(log.text(), "Loading 3ds file: wrong.3ds\n"
                          "Error: not a valid 3ds format!\n\n"
                          "Loading 3ds file: missing.3ds\n"
                          "Error: could not open file!\n\n"
                          "Loading 3ds file: one-byte.3ds\n"
                          "Error: not a valid 3ds format!\n\n"
                          "Loading 3ds file: folder.3ds\n"
                          "Error: could not open file!\n\n");
}

TEST_F(ThreeDsLoaderTest, CountsOnlyObjectsWithVertices) {
    VELMORRA_REQUIRE_GL(gl);
    ASSERT_TRUE(load(samples::camerasAmongMeshes()));
    ASSERT_EQ(object->getElementCount(), 2);
    EXPECT_TRUE(mesh(0).isBuilt());
    EXPECT_TRUE(mesh(1).isBuilt());
    const std::string text = log.text();
    EXPECT_NE(text.find("Found 2 objects.\n"), std::string::npos);
    EXPECT_NE(text.find("  Reading object: Camera02\n  Reading object: Second\n"),
              std::string::npos);
}

TEST_F(ThreeDsLoaderTest, AFileWithoutAnEditorChunkLoadsEmpty) {
    VELMORRA_REQUIRE_GL(gl);
    ASSERT_TRUE(load(samples::withoutEditor(), "empty.3ds"));
    EXPECT_EQ(object->getElementCount(), 0);
    EXPECT_EQ(log.text(), "Loading 3ds file: empty.3ds\n"
                          "Found 0 objects.\n"
                          "Creating 0 elements.\n"
                          "\nStart reading MESH\n"
                          "End reading MESH\n"
                          "Start reading MATERIALS\n"
                          "End reading MATERIALS\n"
                          "Closing 3ds file.\n\n");
}

TEST_F(ThreeDsLoaderTest, MeshesSharingAMaterialBothReceiveItsColoursAndTexture) {
    VELMORRA_REQUIRE_GL(gl);
    ASSERT_TRUE(load(samples::sharedMaterial()));
    ASSERT_EQ(object->getElementCount(), 2);
    for (int i = 0; i < 2; ++i) {
        const Material& material = mesh(i).getMaterial();
        EXPECT_FLOAT_EQ(material.getDiffuse().g, 128 / 255.0f);
        EXPECT_TRUE(material.getTexture(0).isLoaded());
    }
    const int texture = mesh(0).getMaterial().getTexture(0).getTextureName();
    EXPECT_EQ(mesh(1).getMaterial().getTexture(0).getTextureName(), texture);
    EXPECT_EQ(TexManager::instance().referenceCount(texture), 2);
}

TEST_F(ThreeDsLoaderTest, AnUnusedMaterialIsLoggedButChangesNothing) {
    VELMORRA_REQUIRE_GL(gl);
    ASSERT_TRUE(load(samples::unusedMaterial()));
    const Material& material = mesh(0).getMaterial();
    EXPECT_EQ(rgba(material.getDiffuse()), (std::array<float, 4>{0.8f, 0.8f, 0.8f, 1}));
    EXPECT_FALSE(material.getTexture(0).isLoaded());
    const std::string text = log.text();
    EXPECT_NE(text.find("  Reading material: Red\n  Ambient:   R=10 G=20 B=30\n"),
              std::string::npos);
    EXPECT_EQ(text.find("Loading texture file"), std::string::npos);
}

// "A" sets only a diffuse red, "B" only an ambient green: A's red must not reach B's meshes.
TEST_F(ThreeDsLoaderTest, EachMaterialBlockStartsFromAFreshMaterial) {
    VELMORRA_REQUIRE_GL(gl);
    ASSERT_TRUE(load(samples::carriedMaterial()));
    const Material& a = mesh(0).getMaterial();
    const Material& b = mesh(1).getMaterial();
    EXPECT_EQ(rgba(a.getDiffuse()), (std::array<float, 4>{1, 0, 0, 1}));
    EXPECT_EQ(rgba(a.getAmbient()), (std::array<float, 4>{0.2f, 0.2f, 0.2f, 1}));
    EXPECT_EQ(rgba(b.getAmbient()), (std::array<float, 4>{0, 1, 0, 1}));
    EXPECT_EQ(rgba(b.getDiffuse()), (std::array<float, 4>{0.8f, 0.8f, 0.8f, 1}));
}

TEST_F(ThreeDsLoaderTest, AColourAfterTheTextureMapGivesTheTextureBack) {
    VELMORRA_REQUIRE_GL(gl);
    ASSERT_TRUE(load(samples::colourAfterTexture()));
    const Material& material = mesh(0).getMaterial();
    EXPECT_FALSE(material.getTexture(0).isLoaded());
    EXPECT_EQ(rgba(material.getDiffuse()), (std::array<float, 4>{0, 0, 1, 1}));
    EXPECT_EQ(TexManager::instance().size(), 0u);
}

TEST_F(ThreeDsLoaderTest, ASecondFaceListInAnObjectIsDroppedWithWhatItHolds) {
    VELMORRA_REQUIRE_GL(gl);
    ASSERT_TRUE(load(samples::extraFaceList()));
    ASSERT_EQ(object->getElementCount(), 1);
    EXPECT_TRUE(mesh(0).isBuilt());
    EXPECT_EQ(passes(), "\nStart reading MESH\n"
                        "  Reading object: Two\n"
                        "  Vertices: 3\n"
                        "  Faces: 1\n"
                        "  Material: A\n"
                        "  Faces: 1\n"
                        "  Warning: second face list in one object, dropped.\n"
                        "End reading MESH\n"
                        "Start reading MATERIALS\n"
                        "End reading MATERIALS\n"
                        "Closing 3ds file.\n\n");
}

TEST_F(ThreeDsLoaderTest, LongNamesAreCutToTheirLimits) {
    VELMORRA_REQUIRE_GL(gl);
    ASSERT_TRUE(load(samples::longNames()));
    const std::string text = log.text();
    EXPECT_NE(text.find("  Reading object: " + std::string(51, 'o') + "\n"), std::string::npos);
    EXPECT_NE(text.find("  Material: " + std::string(49, 'm') + "\n"), std::string::npos);
    EXPECT_NE(text.find("  Texture: " + std::string(255, 't') + "\n"), std::string::npos);
    EXPECT_NE(text.find("  Warning: name longer than 49 characters cut.\n"), std::string::npos);
    // The cut names still match: the mesh receives the material's colours.
    EXPECT_FLOAT_EQ(mesh(0).getMaterial().getDiffuse().g, 128 / 255.0f);
}

TEST_F(ThreeDsLoaderTest, MissingMappingCoordinatesAreZero) {
    VELMORRA_REQUIRE_GL(gl);
    ASSERT_TRUE(load(samples::shortMapping()));
    const auto& texCoords = mesh(0).getTexCoords();
    ASSERT_EQ(texCoords.size(), 3u);
    EXPECT_EQ(texCoords[0].u, 0.5f);
    EXPECT_EQ(texCoords[0].v, 0.25f);
    EXPECT_EQ(texCoords[2].u, 0.0f);
    EXPECT_NE(log.text().find("  Warning: mapping list shorter than the vertex list, missing "
                              "coordinates are zero.\n"),
              std::string::npos);
}

// The mapping chunk swallows the face list behind it: the object's vertices are whole, so it
// keeps its slot and stays unbuilt, as an object without a face list does.
TEST_F(ThreeDsLoaderTest, AChunkRunningPastItsParentIsCutThere) {
    VELMORRA_REQUIRE_GL(gl);
    ASSERT_TRUE(load(samples::lengthPastParent()));
    ASSERT_EQ(object->getElementCount(), 1);
    EXPECT_FALSE(mesh(0).isBuilt());
    EXPECT_EQ(passes(), "\nStart reading MESH\n"
                        "  Reading object: Cut\n"
                        "  Vertices: 3\n"
                        "  Warning: chunk 0x4140 runs past its parent, cut at the parent's end.\n"
                        "  Mapping: 0\n"
                        "End reading MESH\n"
                        "Start reading MATERIALS\n"
                        "End reading MATERIALS\n"
                        "Closing 3ds file.\n\n");
}

TEST_F(ThreeDsLoaderTest, AChunkLengthOutsideTheFileOrInsideItsHeaderKeepsWhatCameBefore) {
    VELMORRA_REQUIRE_GL(gl);
    ASSERT_TRUE(load(samples::lengthPastFile()));
    ASSERT_EQ(object->getElementCount(), 1);
    EXPECT_TRUE(mesh(0).isBuilt());
    ASSERT_TRUE(load(samples::lengthInsideHeader()));
    ASSERT_EQ(object->getElementCount(), 2);
    const std::string text = log.text();
    EXPECT_NE(text.find("  Reading object: Kept\n"
                        "  Vertices: 3\n"
                        "  Mapping: 3\n"
                        "  Faces: 1\n"
                        "  Warning: damaged chunk, the rest of its level is skipped.\n"
                        "End reading MESH\n"),
              std::string::npos);
    EXPECT_EQ(text.find("Unread"), std::string::npos);
}

TEST_F(ThreeDsLoaderTest, ListsLongerThanTheirChunkAreZeroFilled) {
    VELMORRA_REQUIRE_GL(gl);
    ASSERT_TRUE(load(samples::listPastChunk()));
    const auto& vertices = mesh(0).getVertices();
    ASSERT_EQ(vertices.size(), 5u);
    EXPECT_EQ(vertices[2], (Vector3{1, 1, -1}));
    EXPECT_EQ(vertices[3], (Vector3{}));
    EXPECT_NE(log.text().find("  Vertices: 5\n"
                              "  Warning: list longer than its chunk, missing entries are zero.\n"),
              std::string::npos);
}

TEST_F(ThreeDsLoaderTest, OtherDamageIsReportedAndSurvived) {
    VELMORRA_REQUIRE_GL(gl);
    ASSERT_TRUE(load(samples::facePastVertices()));
    ASSERT_TRUE(load(samples::materialBeforeFaces()));
    // Too deep to reach even the vertex list: not counted.
    ASSERT_TRUE(load(samples::nestedDeep()));
    ASSERT_EQ(object->getElementCount(), 2);
    EXPECT_EQ(mesh(0).getFaces().size(), 2u);
    EXPECT_TRUE(mesh(1).isBuilt());
    const std::string text = log.text();
    EXPECT_NE(text.find("  Warning: 1 faces name missing vertices and are not drawn.\n"),
              std::string::npos);
    EXPECT_NE(text.find("  Warning: chunks nested too deeply, skipped.\n"), std::string::npos);
}

// The layouts of ThreeDsSamples.h that modelling tools write: both meshes arrive whole, with
// their own mapping, the material's colours (24-bit or float) and the texture, whose name
// ("TEX.BMP", "maps\Tex.bmp") is found as tex.bmp.
TEST_F(ThreeDsLoaderTest, ReadsTheLayoutsModellingToolsWrite) {
    VELMORRA_REQUIRE_GL(gl);
    for (const auto& [name, bytes] :
         {samples::Sample{"studio", samples::studioScene()},
          samples::Sample{"exporter", samples::exporterScene()}}) {
        SCOPED_TRACE(name);
        object = std::make_unique<Object>();
        ASSERT_TRUE(load(bytes));
        ASSERT_EQ(object->getElementCount(), 2);
        for (int i = 0; i < 2; ++i) {
            ASSERT_TRUE(mesh(i).isBuilt());
            EXPECT_EQ(mesh(i).getVertices()[2], (Vector3{0, 2, -1}));
            EXPECT_EQ(mesh(i).getTexCoords()[0].u, i == 0 ? 0.0f : 0.5f);
            const Material& material = mesh(i).getMaterial();
            EXPECT_FLOAT_EQ(material.getDiffuse().g, 128 / 255.0f);
            EXPECT_FLOAT_EQ(material.getAmbient().b, 30 / 255.0f);
            EXPECT_TRUE(material.getTexture(0).isLoaded());
        }
    }
    const std::string text = log.text();
    EXPECT_NE(text.find("  Texture: maps\\Tex.bmp\n  Loading texture file: tex.bmp\n"),
              std::string::npos);
    EXPECT_NE(text.find("  Diffuse:   R=255 G=128 B=0\n"), std::string::npos);
    EXPECT_EQ(text.find("Warning"), std::string::npos);
}

// Nothing of one object reaches another object's mesh, and an empty mesh takes no slot.
TEST_F(ThreeDsLoaderTest, EachObjectKeepsItsOwnLists) {
    VELMORRA_REQUIRE_GL(gl);
    const struct {
        const char* name;
        samples::Bytes bytes;
        int meshes;
        bool firstBuilt;
    } layouts[] = {
        {"empty mesh object", samples::emptyMeshObject(), 2, true},
        {"mapping after the faces", samples::mappingAfterFaces(), 2, true},
        {"mapping without faces", samples::mappingWithoutFaces(), 2, false},
    };
    for (const auto& layout : layouts) {
        SCOPED_TRACE(layout.name);
        object = std::make_unique<Object>();
        ASSERT_TRUE(load(layout.bytes));
        ASSERT_EQ(object->getElementCount(), layout.meshes);
        EXPECT_EQ(mesh(0).isBuilt(), layout.firstBuilt);
        MeshElement& last = mesh(layout.meshes - 1);
        ASSERT_TRUE(last.isBuilt());
        EXPECT_EQ(last.getVertices()[1], (Vector3{1, 0, 0}));
        if (std::string(layout.name) == "empty mesh object") {
            EXPECT_EQ(last.getTexCoords()[1].u, 1.0f); // its own mapping
        } else {
            EXPECT_EQ(last.getTexCoords()[1].u, 0.0f); // it has none
        }
        if (layout.firstBuilt) {
            EXPECT_EQ(mesh(0).getTexCoords()[1].u, 1.0f);
        }
    }
}

// Cut inside the second mesh, inside the camera before it, and inside the keyframer after the
// editor: the meshes that were complete before the cut are kept, with their material.
TEST_F(ThreeDsLoaderTest, AFileCutShortKeepsItsCompleteMeshes) {
    VELMORRA_REQUIRE_GL(gl);
    const samples::Bytes whole = samples::studioScene();
    const auto at = [&](const std::string& text) {
        return static_cast<std::size_t>(
            std::search(whole.begin(), whole.end(), text.begin(), text.end()) - whole.begin());
    };
    const struct {
        std::size_t cut;
        int meshes;
    } cuts[] = {{at("Second") + 30, 1}, {at("Camera01") + 12, 1}, {whole.size() - 5, 2}};
    for (const auto& cut : cuts) {
        SCOPED_TRACE(cut.cut);
        object = std::make_unique<Object>();
        ASSERT_TRUE(load(samples::Bytes(whole.begin(), whole.begin() + static_cast<long>(cut.cut))));
        ASSERT_EQ(object->getElementCount(), cut.meshes);
        for (int i = 0; i < cut.meshes; ++i) {
            EXPECT_TRUE(mesh(i).isBuilt());
            EXPECT_EQ(mesh(i).getFaces().size(), 1u);
            EXPECT_FLOAT_EQ(mesh(i).getMaterial().getDiffuse().g, 128 / 255.0f);
        }
    }
    const std::string text = log.text();
    EXPECT_NE(text.find("  Warning: chunk 0x3D3D runs past its parent, cut at the parent's end.\n"),
              std::string::npos);
    EXPECT_NE(text.find("  Warning: object damaged or cut short, dropped.\n"), std::string::npos);
}

// The name as it stands, then its last component, then either ignoring case; the log names the
// file that was loaded. tex.bmp, maps/tex.bmp and maps/stone.bmp exist.
TEST_F(ThreeDsLoaderTest, TextureNamesFromOtherSystemsAreFoundIgnoringCase) {
    VELMORRA_REQUIRE_GL(gl);
    std::filesystem::create_directory("maps");
    test::BmpBuilder::solid(2, 2, {0, 0, 255}).writeTo("maps/tex.bmp");
    test::BmpBuilder::solid(2, 2, {0, 0, 255}).writeTo("maps/stone.bmp");
    const struct {
        const char* name;
        const char* loaded; // empty: none
    } names[] = {{"tex.bmp", "tex.bmp"},
                 {"TEX.BMP", "tex.bmp"},
                 {"maps/tex.bmp", "maps/tex.bmp"},
                 {"maps/stone.bmp", "maps/stone.bmp"},
                 {"MAPS\\Stone.BMP", "maps/stone.bmp"},
                 {"C:\\3DS\\MAPS\\TEX.BMP", "tex.bmp"},
                 {"textures/TEX.bmp", "tex.bmp"},
                 {"stone.bmp", ""},
                 {"tex.bmp.bak", ""},
                 {"maps/", ""},
                 {"maps\\", ""}};
    for (const auto& name : names) {
        SCOPED_TRACE(name.name);
        ThreeDsWriter::Material material = samples::red();
        material.textureMap = name.name;
        const std::vector<ThreeDsWriter::Material> materials{material};
        const std::vector<ThreeDsWriter::Mesh> meshes{samples::triangle("Box", "Red")};
        object = std::make_unique<Object>();
        ASSERT_TRUE(load(ThreeDsWriter::scene(materials, meshes)));
        EXPECT_EQ(mesh(0).getMaterial().getTexture(0).isLoaded(), *name.loaded != '\0');
    }
    const std::string text = log.text();
    for (const auto& name : names) {
        if (*name.loaded != '\0') {
            EXPECT_NE(text.find("  Texture: " + std::string(name.name) +
                                "\n  Loading texture file: " + name.loaded + "\n"),
                      std::string::npos)
                << name.name;
        }
    }
}

// A colour chunk holding the colour as bytes and as floats: the first form is applied and logged.
TEST_F(ThreeDsLoaderTest, AColourInTwoFormsIsTakenOnceInItsFirstForm) {
    VELMORRA_REQUIRE_GL(gl);
    const struct {
        bool bytesFirst;
        const char* logged;
        std::array<float, 4> diffuse;
    } forms[] = {{true, "R=255 G=128 B=0", {1, 128 / 255.0f, 0, 1}},
                 {false, "R=0 G=0 B=255", {0, 0, 1, 1}}};
    std::string materialPasses;
    for (const auto& form : forms) {
        SCOPED_TRACE(form.logged);
        object = std::make_unique<Object>();
        ASSERT_TRUE(load(samples::twoColourForms(form.bytesFirst)));
        EXPECT_EQ(rgba(mesh(0).getMaterial().getDiffuse()), form.diffuse);
        materialPasses += "Start reading MATERIALS\n  Reading material: Red\n  Diffuse:   " +
                          std::string(form.logged) + "\nEnd reading MATERIALS\n";
    }
    std::string logged;
    const std::string text = log.text();
    for (std::size_t at = text.find("Start reading MATERIALS"); at != std::string::npos;
         at = text.find("Start reading MATERIALS", at + 1)) {
        logged += text.substr(at, text.find("Closing", at) - at);
    }
    EXPECT_EQ(logged, materialPasses);
}

// A mesh without a face material list takes the colours of the block named "", not the texture
// of the block that names nothing; "Box" keeps Red's.
TEST_F(ThreeDsLoaderTest, AMeshWithoutAMaterialListUsesTheMaterialWithAnEmptyName) {
    VELMORRA_REQUIRE_GL(gl);
    ASSERT_TRUE(load(samples::emptyMaterialName()));
    ASSERT_EQ(object->getElementCount(), 2);
    const Material& plain = mesh(0).getMaterial();
    EXPECT_EQ(rgba(plain.getDiffuse()), (std::array<float, 4>{0, 0, 1, 1}));
    EXPECT_FLOAT_EQ(plain.getAmbient().b, 30 / 255.0f);
    EXPECT_FALSE(plain.getTexture(0).isLoaded());
    const Material& box = mesh(1).getMaterial();
    EXPECT_FLOAT_EQ(box.getDiffuse().g, 128 / 255.0f);
    EXPECT_TRUE(box.getTexture(0).isLoaded());
}

// The file ends inside the object "Box": it is kept while its vertex and face data are whole,
// built once its faces are read, and takes the material its list names when the name is whole.
TEST_F(ThreeDsLoaderTest, AnObjectCutAtTheFileEndIsKeptWhileItsListsAreWhole) {
    VELMORRA_REQUIRE_GL(gl);
    const samples::Bytes whole = samples::smallScene();
    const std::string box = "Box";
    const auto name = static_cast<std::size_t>(
        std::search(whole.begin(), whole.end(), box.begin(), box.end()) - whole.begin());
    const struct {
        const char* where;
        std::size_t cut;
        int meshes;
        bool built;
        bool red;
    } cuts[] = {{"in the vertices", name + 30, 0, false, false},
                {"after the vertex list", name + 54, 1, false, false},
                {"in the faces", whole.size() - 17, 0, false, false},
                {"after the faces", whole.size() - 14, 1, true, false},
                {"in the material name", whole.size() - 5, 1, true, false},
                {"after the material name", whole.size() - 2, 1, true, true}};
    std::string counts;
    std::string expected;
    for (const auto& cut : cuts) {
        SCOPED_TRACE(cut.where);
        object = std::make_unique<Object>();
        ASSERT_TRUE(load(samples::Bytes(whole.begin(), whole.begin() + static_cast<long>(cut.cut))));
        ASSERT_EQ(object->getElementCount(), cut.meshes);
        if (cut.meshes == 1) {
            EXPECT_EQ(mesh(0).isBuilt(), cut.built);
            EXPECT_EQ(mesh(0).getMaterial().getDiffuse().r, cut.red ? 1.0f : 0.8f);
        }
        expected += cut.meshes == 1 ? "Found 1 objects.\n"
                                    : "Found 0 objects.\nWarning: object damaged or cut short, "
                                      "dropped.\n";
    }
    // The count and, for a dropped object, its warning, in the order of the cuts.
    std::istringstream lines(log.text());
    for (std::string line; std::getline(lines, line);) {
        const std::size_t text = line.find_first_not_of(' ');
        if (line.starts_with("Found") || line.find("dropped") != std::string::npos) {
            counts += line.substr(text) + "\n";
        }
    }
    EXPECT_EQ(counts, expected);
}

// Every sample, whole files and cuts of one, loads or is refused without harm. The samples are
// also the seeds of the loader's fuzz target: they are written to the directory named by the
// environment variable VELMORRA_3DS_CORPUS (an absolute path) when it is set.
TEST_F(ThreeDsLoaderTest, WritesTheFuzzSeedsAndSurvivesEachOfThem) {
    VELMORRA_REQUIRE_GL(gl);
    const char* requested = std::getenv("VELMORRA_3DS_CORPUS");
    const std::filesystem::path corpus =
        requested != nullptr ? std::filesystem::path(requested) : std::filesystem::path();
    if (!corpus.empty()) {
        std::filesystem::create_directories(corpus);
    }
    for (const samples::Sample& sample : samples::all()) {
        SCOPED_TRACE(sample.name);
        const std::string file = sample.name + ".3ds";
        if (!corpus.empty()) {
            ASSERT_TRUE(tools::ByteSink::writeFile((corpus / file).string(), sample.bytes));
        }
        auto scratch = std::make_unique<Object>();
        tools::ByteSink::writeFile(file, sample.bytes);
        const bool loaded = load3ds(file.c_str(), scratch.get());
        const bool valid =
            sample.bytes.size() >= 2 && sample.bytes[0] == 0x4D && sample.bytes[1] == 0x4D;
        EXPECT_EQ(loaded, valid);
    }
}

} // namespace
} // namespace velmorra
