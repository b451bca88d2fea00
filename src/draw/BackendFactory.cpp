#include "draw/BackendFactory.h"

#include "draw/Gl11Backend.h"
#include "draw/Gles2Backend.h"

namespace velmorra::draw {

std::unique_ptr<Backend> BackendFactory::make(BackendKind kind) {
    if (kind == BackendKind::gles2) {
        return std::make_unique<Gles2Backend>();
    }
    return std::make_unique<Gl11Backend>();
}

BackendKind BackendFactory::standard() {
    return BackendKind::gl11;
}

} // namespace velmorra::draw
