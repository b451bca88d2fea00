#include "content/ContentGenerator.h"

#include "BmpWriter.h"
#include "ByteSink.h"
#include "content/FontFiles.h"
#include "content/LavaEnvironment.h"
#include "content/SettingsBanner.h"
#include "content/SphereMapRenderer.h"
#include "content/TextRasterizer.h"

#include <cstdio>

namespace velmorra::tools {

namespace {

constexpr int sphereMapSize = 256;
constexpr int sphereMapSamples = 3;

} // namespace

ContentGenerator::ContentGenerator(std::string directory) : directory(std::move(directory)) {}

std::vector<std::string> ContentGenerator::fileNames() {
    return {"lava.bmp", "settings.bmp"};
}

bool ContentGenerator::generateAll() {
    const TextRasterizer titleFont(FontFiles::titleFont());
    if (!titleFont.isReady()) {
        std::fprintf(stderr, "cannot open the font %s\n", FontFiles::titleFont().c_str());
        return false;
    }
    const LavaEnvironment lava;
    const Canvas lavaMap = SphereMapRenderer::render(
        [&lava](const Vec3& d) { return lava.look(d); }, sphereMapSize, sphereMapSamples);
    return writePicture("lava.bmp", lavaMap) &&
           writePicture("settings.bmp", SettingsBanner::paint(lavaMap, titleFont));
}

bool ContentGenerator::writePicture(const std::string& name, const Canvas& canvas) const {
    return writeBytes(name, BmpWriter::encode(canvas));
}

bool ContentGenerator::writeBytes(const std::string& name,
                                  const std::vector<std::uint8_t>& bytes) const {
    const std::string path = directory + "/" + name;
    if (!ByteSink::writeFile(path, bytes)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("wrote %s (%zu bytes)\n", path.c_str(), bytes.size());
    return true;
}

} // namespace velmorra::tools
