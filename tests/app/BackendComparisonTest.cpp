#include "app/RunSequence.h"
#include "platform/OffscreenDisplay.h"
#include "support/Sha256.h"
#include "support/TempDirectory.h"

#include "draw/BackendKind.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace velmorra {
namespace {

namespace fs = std::filesystem;

constexpr int width = 320;
constexpr int height = 240;
constexpr std::uint32_t seed = 7;

using Frames = std::map<long, std::vector<std::uint8_t>>;

// Two moments of each of the schedule's 17 parts (at 30 frames a second), and the credits
// once more as they scroll.
const std::vector<long> sampledFrames = {150,  390,  450,  660,  780,  900,  960,  1000, 1080,
                                         1200, 1340, 1600, 1690, 1710, 1745, 1770, 1788, 1797,
                                         1850, 1990, 2200, 2500, 2600, 2630, 2650, 2690, 2720,
                                         2850, 3000, 3900, 4000, 4400, 4600, 4780, 4850};

// The frames a whole capture draws at the sampled moments, RGBA rows bottom-up.
Frames captureMoments(draw::BackendKind backend) {
    Frames kept;
    OffscreenDisplay display;
    std::string error;
    if (!display.open(width, height, error, backend)) {
        ADD_FAILURE() << error;
        return kept;
    }
    RunSequence run;
    long frame = 0;
    RunSequence::Hooks hooks;
    hooks.beforeFrameLoop = [&] {
        display.record(
            0, sampledFrames.back() + 1,
            [&](std::vector<std::uint8_t>&& pixels) {
                if (std::find(sampledFrames.begin(), sampledFrames.end(), frame) !=
                    sampledFrames.end()) {
                    kept[frame] = std::move(pixels);
                }
                ++frame;
                return true;
            },
            nullptr);
    };
    run.play(display, seed, hooks);
    display.close();
    return kept;
}

std::vector<double> luma(const std::vector<std::uint8_t>& rgba) {
    std::vector<double> y(rgba.size() / 4);
    for (std::size_t i = 0; i < y.size(); ++i) {
        y[i] = 0.299 * rgba[i * 4] + 0.587 * rgba[i * 4 + 1] + 0.114 * rgba[i * 4 + 2];
    }
    return y;
}

double lumaPsnr(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    const std::vector<double> ya = luma(a), yb = luma(b);
    double squares = 0.0;
    for (std::size_t i = 0; i < ya.size(); ++i) {
        squares += (ya[i] - yb[i]) * (ya[i] - yb[i]);
    }
    const double mse = squares / static_cast<double>(ya.size());
    return mse == 0.0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

// A binary PPM, top row first.
void writePpm(const fs::path& path, const std::vector<std::uint8_t>& rgba) {
    std::ofstream file(path, std::ios::binary);
    file << "P6\n" << width << " " << height << "\n255\n";
    for (int row = height - 1; row >= 0; --row) {
        for (int x = 0; x < width; ++x) {
            file.write(reinterpret_cast<const char*>(&rgba[(row * width + x) * 4]), 3);
        }
    }
}

std::vector<std::uint8_t> difference(const std::vector<std::uint8_t>& a,
                                     const std::vector<std::uint8_t>& b) {
    std::vector<std::uint8_t> result(a.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        result[i] = static_cast<std::uint8_t>(std::min(255, std::abs(a[i] - b[i]) * 4));
    }
    return result;
}

// Left where the tests ran, for a person to look at.
void keepForInspection(long frame, const std::vector<std::uint8_t>& gl11,
                       const std::vector<std::uint8_t>& gles2) {
    const fs::path folder = fs::path(VELMORRA_TEST_OUTPUT_DIR) / "backend-comparison";
    fs::create_directories(folder);
    const std::string stem = "frame" + std::to_string(frame);
    writePpm(folder / (stem + "-gl11.ppm"), gl11);
    writePpm(folder / (stem + "-gles2.ppm"), gles2);
    writePpm(folder / (stem + "-difference.ppm"), difference(gl11, gles2));
    std::printf("frames written to %s\n", (folder / stem).c_str());
}

// The frames gl11 drew at the sampled moments when the drawing layer had only that backend:
// a second backend must not change them.
const std::map<long, std::string> gl11Hashes = {
    {150, "446e4486637e35921be5aad6e2206412885ea82c26683af5377315cd8a3d2c56"},
    {390, "58174bae144af44075b2f7ca6eb2778ab2a6f365227f71013f7cb95f477e3cf2"},
    {450, "c2d7563527134d1c25b14a9802b4bdd862f107cd98ee6691bf4c187f5d55298e"},
    {660, "56f1ee385700013cabf2a23ee10646c9dae1b27da55ab4f1872d8440cd61171c"},
    {780, "27a2a7c034eb2a23d2be7a44cb201e1aaf36d1bdd481f8d01a463726d0dd003c"},
    {900, "2e0fd3aaf22349542d48be5cf11e587434772ddfd9b8bb7404b587799b564c12"},
    {960, "1e134e263f93f4a4c61beda68fc40930fa56ddd2e6087c4d297fb56e749ce9b0"},
    {1000, "7d535ac1e37c0fe3d40762c1e06fc3fd28e5590449d3781a01ce362be2d37441"},
    {1080, "bfb4c44cc162d11eae9c6d6b967467a22e4f13ab9914238b9f862bbfa0bbe3e7"},
    {1200, "4f9dd5b1a1e0556d9b00daf4adae017eeba176c900fa02f9a677c25bffb962c4"},
    {1340, "869bd2dcccda7381b067ba5d5a0af89bebb6ae1899712ad5ac4c2ad88b968b62"},
    {1600, "36d2bdf7f449706b0d07334c6a2248ae7c23f80c0e18612a81b289c5607ff643"},
    {1690, "d5cff5508ffbd22a2784ffd410af3f388eb979283cd467d64bc78dfefda718a9"},
    {1710, "d21d975c7734b512a4042eb35f36e65f6c3172a6313bf7492a0dcbf8d7ba73dd"},
    {1745, "d3bb02dfb346d9553024ff3fd48ead92e80bce5db6f4971af886875530fbb983"},
    {1770, "b0b7a510c4295e83b525931c6399de510db04cfcc6e361d821d25d8dd1fd9d96"},
    {1788, "a7c5611ebbdac76bc21760cf309f76b45ef3611ed45b84af953b996f2cdf2c81"},
    {1797, "6bd08178fe90a5db3765c791d79abba70926f83942ee5e99f9b2553b2f318d17"},
    {1850, "17eace946ac843f14b78ab072c77e09fbcce6789743c64dc8dd291e600c253cc"},
    {1990, "52f547aaa8eef816551901e43362c5a6714e09d4a13e5586457d8882c4ace161"},
    {2200, "5c55087b0a8709565a2710a76d746411a1ab71e5cd3d2108d26238529ce0d99d"},
    {2500, "d5dbbe9318eda224c5c75902ef648ad2ab0006fddc4e8d522d4ebac8a369d98a"},
    {2600, "45537be2f9ca24b019caf561479fa9c6e5a53fd53b24946b5aeded54c485165e"},
    {2630, "bd4013a8435d889a9a1be992056df4c703779fa489428144784c33e7d5e1a1b0"},
    {2650, "8e7c17cc9a56cf34a16357e7d226a5211a4f1aad44173e9aeb8fc0b41f1a773e"},
    {2690, "1614c216b4dfd2ef15a101f7b0cb382e4bd18da23813b8ef1f7f089ed81b2834"},
    {2720, "46137040e54be6dd64538fd9a499e8fd9891097e12b6f9d5c18b60253acd1618"},
    {2850, "2af1d9eb72719850bcf040ce9113d8c2fe766afd7e9901bf846b7ec38c3c7508"},
    {3000, "fd43543c3ba708097e5dce2024f161b1121b9f1877206be10de5d5a0444e67d7"},
    {3900, "187e8aba2272a325ed59a4dcbbbd78f3a35a58b29ed4a9fb43aaa0f4728e2660"},
    {4000, "3981c809f929bf4e9b6836cf859475d3d3f0ec71bc811eaaa2e27325128b6788"},
    {4400, "824c6957a265f51729db45cc8a85af8d777b58a906295d63500065e9ffe83648"},
    {4600, "43dfce6d82a4fe643e90fdb0aca287215ecab2b3ed2f9d01a2ee9cfb8f6df47d"},
    {4780, "719cae2ff6aaf7196857c172f132e744b0ea59a766b1bdcb78e81a8f44eed46d"},
    {4850, "ddc9405c449593658185b17bd4d3e0f6e64a841ce8edf40d2a8016650366dc96"},
};

class Backends : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directory_symlink(fs::path(VELMORRA_SOURCE_DIR) / "data",
                                     directory.path() / "data");
    }

    test::TempDirectory directory;
};

TEST_F(Backends, Gl11KeepsItsFramesAndGles2MatchesThemAtEveryPartOfTheSchedule) {
    const Frames gl11 = captureMoments(draw::BackendKind::gl11);
    const Frames gles2 = captureMoments(draw::BackendKind::gles2);
    ASSERT_EQ(gl11.size(), sampledFrames.size());
    ASSERT_EQ(gles2.size(), sampledFrames.size());
    double lowest = 99.0;
    long lowestFrame = 0;
    for (const long frame : sampledFrames) {
        const std::vector<std::uint8_t>& fixed = gl11.at(frame);
        EXPECT_EQ(test::sha256Hex(
                      std::string_view(reinterpret_cast<const char*>(fixed.data()), fixed.size())),
                  gl11Hashes.at(frame))
            << "gl11, frame " << frame;
        const double psnr = lumaPsnr(fixed, gles2.at(frame));
        if (psnr < lowest) {
            lowest = psnr;
            lowestFrame = frame;
        }
        if (psnr < 38.0) {
            keepForInspection(frame, fixed, gles2.at(frame));
        }
        EXPECT_GE(psnr, 38.0) << "frame " << frame;
    }
    std::printf("lowest luma PSNR %.2f dB at frame %ld\n", lowest, lowestFrame);
}

} // namespace
} // namespace velmorra
