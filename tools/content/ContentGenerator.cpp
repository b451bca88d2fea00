#include "content/ContentGenerator.h"

#include "BmpWriter.h"
#include "ByteSink.h"
#include "PngWriter.h"
#include "content/AltarModel.h"
#include "content/AppIcon.h"
#include "content/FontFiles.h"
#include "content/LavaEnvironment.h"
#include "content/SettingsBanner.h"
#include "content/SkyEnvironment.h"
#include "content/SphereMapRenderer.h"
#include "content/SpriteAtlas.h"
#include "content/StoneCupModel.h"
#include "content/StoneTexture.h"
#include "content/StudioEnvironment.h"
#include "content/TextRasterizer.h"
#include "content/TitleTexture.h"

#include <cstdio>
#include <filesystem>

namespace velmorra::tools {

namespace {

constexpr int sphereMapSize = 256;
constexpr int sphereMapSamples = 3;
constexpr int iconSizes[] = {48, 128, 256};

std::string iconName(int size) {
    return "icons/velmorra-" + std::to_string(size) + ".png";
}

} // namespace

ContentGenerator::ContentGenerator(std::string directory) : directory(std::move(directory)) {}

std::vector<std::string> ContentGenerator::fileNames() {
    return {"lava.bmp",   "chrome.bmp",   "sky.bmp",    "dummy.bmp",
            "text.bmp",   "settings.bmp", "marble.bmp", "sandstone.bmp",
            "basalt.bmp", "granite.bmp",  "scene.3ds",  "stonecup.3ds",
            iconName(48), iconName(128), iconName(256)};
}

bool ContentGenerator::generateAll() {
    const TextRasterizer titleFont(FontFiles::titleFont());
    const TextRasterizer captionFont(FontFiles::captionFont());
    if (!titleFont.isReady() || !captionFont.isReady()) {
        std::fprintf(stderr, "cannot open the fonts %s and %s\n", FontFiles::titleFont().c_str(),
                     FontFiles::captionFont().c_str());
        return false;
    }
    const LavaEnvironment lava;
    const Canvas lavaMap = SphereMapRenderer::render(
        [&lava](const Vec3& d) { return lava.look(d); }, sphereMapSize, sphereMapSamples);
    const StudioEnvironment studio;
    const SkyEnvironment sky;
    return writePicture("lava.bmp", lavaMap) &&
           writePicture("chrome.bmp", SphereMapRenderer::render(
                                          [&studio](const Vec3& d) { return studio.look(d); },
                                          sphereMapSize, sphereMapSamples)) &&
           writePicture("sky.bmp",
                        SphereMapRenderer::render([&sky](const Vec3& d) { return sky.look(d); },
                                                  sphereMapSize, sphereMapSamples)) &&
           writePicture("dummy.bmp", SpriteAtlas().paint()) &&
           writePicture("text.bmp", TitleTexture::paint(titleFont, captionFont)) &&
           writePicture("settings.bmp", SettingsBanner::paint(lavaMap, titleFont)) &&
           writePicture("marble.bmp", StoneTexture::marble()) &&
           writePicture("sandstone.bmp", StoneTexture::sandstone()) &&
           writePicture("basalt.bmp", StoneTexture::basalt()) &&
           writePicture("granite.bmp", StoneTexture::granite()) &&
           writeBytes("scene.3ds", AltarModel::file()) &&
           writeBytes("stonecup.3ds", StoneCupModel::file()) && writeIcons(lavaMap);
}

bool ContentGenerator::writeIcons(const Canvas& lavaMap) const {
    for (const int size : iconSizes) {
        const AppIcon::Picture icon = AppIcon::paint(lavaMap, size);
        if (!writeBytes(iconName(size), PngWriter::encode(icon.colour, icon.alpha))) {
            return false;
        }
    }
    return true;
}

bool ContentGenerator::writePicture(const std::string& name, const Canvas& canvas) const {
    return writeBytes(name, BmpWriter::encode(canvas));
}

bool ContentGenerator::writeBytes(const std::string& name,
                                  const std::vector<std::uint8_t>& bytes) const {
    const std::string path = directory + "/" + name;
    std::error_code ignored; // a failure shows when the file is written
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    if (!ByteSink::writeFile(path, bytes)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("wrote %s (%zu bytes)\n", path.c_str(), bytes.size());
    return true;
}

} // namespace velmorra::tools
