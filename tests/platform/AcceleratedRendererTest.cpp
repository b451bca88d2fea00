#include "platform/AcceleratedRenderer.h"

#include <gtest/gtest.h>

namespace velmorra {
namespace {

TEST(AcceleratedRenderer, RefusesOnlyTheLegacySoftwareRasterizers) {
    const struct {
        const char* renderer;
        bool accelerated;
    } cases[] = {
        {"llvmpipe (LLVM 15.0.6, 256 bits)", true},
        {"AMD Radeon RX 580 Series (polaris10, LLVM 15.0.7, DRM 3.49, 6.1.0-13-amd64)", true},
        {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", true},
        {"NVIDIA GeForce GTX 1060 6GB/PCIe/SSE2", true},
        {"softpipe", false},
        {"Gallium 0.4 on softpipe", false},
        {"Software Rasterizer", false},
        {"Mesa X11 swrast", false},
        {"GDI Generic", false},
        {"gdi generic", false},
        {nullptr, false},
    };
    for (const auto& [renderer, accelerated] : cases) {
        EXPECT_EQ(isAcceleratedRenderer(renderer), accelerated)
            << (renderer != nullptr ? renderer : "(null)");
    }
}

} // namespace
} // namespace velmorra
