// Feeds arbitrary bytes to the 3DS loader, which reads model files a user can replace. There is
// no GL context: the GL calls of mesh building and texture loading do nothing, and the loader's
// parsing, its meshes' arrays and their welded normals are what is exercised.

#include "scene/MeshElement.h"
#include "scene/Object.h"
#include "scene/ThreeDsLoader.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

namespace {

volatile float checksum = 0.0f;

// Texture names in the input are opened as files; nothing may wait on the terminal.
void detachStandardInput() {
    if (std::freopen("/dev/null", "rb", stdin) == nullptr) {
        std::abort();
    }
}

bool isUnitOrZero(const velmorra::Vector3& n) {
    if (n == velmorra::Vector3{}) {
        return true;
    }
    return std::fabs(velmorra::length(n) - 1.0) < 1e-5;
}

// Every array of a built mesh is read whole, so AddressSanitizer sees its true size.
void checkMesh(const velmorra::MeshElement& mesh) {
    if (!mesh.isBuilt()) {
        return;
    }
    const std::size_t count = mesh.getVertices().size();
    if (mesh.getNormals().size() != count || mesh.getTexCoords().size() != count) {
        std::abort();
    }
    float sum = 0.0f;
    for (std::size_t i = 0; i < count; ++i) {
        if (!isUnitOrZero(mesh.getNormals()[i])) {
            std::abort();
        }
        sum += mesh.getVertices()[i].x + mesh.getTexCoords()[i].u + mesh.getNormals()[i].y;
    }
    for (const velmorra::Face& face : mesh.getFaces()) {
        sum += static_cast<float>(face[0] + face[1] + face[2]);
    }
    checksum = sum;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    detachStandardInput();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    velmorra::Object object;
    velmorra::ThreeDsLoader loader;
    const bool loaded = loader.load(std::span<const std::uint8_t>(data, size), &object);
    const bool valid = size >= 2 && data[0] == 0x4D && data[1] == 0x4D;
    if (loaded != valid || (!loaded && object.getElementCount() != 0)) {
        std::abort();
    }
    for (int i = 0; i < object.getElementCount(); ++i) {
        const auto* mesh = dynamic_cast<const velmorra::MeshElement*>(object.getElement(i));
        if (mesh == nullptr) {
            std::abort();
        }
        checkMesh(*mesh);
    }
    return 0;
}
