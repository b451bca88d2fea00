#include "draw/BackendFactory.h"

#include "draw/Gles2Backend.h"

namespace velmorra::draw {

// WebGL offers only what the gles2 backend draws with, whatever was asked.
std::unique_ptr<Backend> BackendFactory::make(BackendKind /*kind*/) {
    return std::make_unique<Gles2Backend>();
}

BackendKind BackendFactory::standard() {
    return BackendKind::gles2;
}

} // namespace velmorra::draw
