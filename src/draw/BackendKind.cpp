#include "draw/BackendKind.h"

#include "draw/ActiveBackend.h"
#include "draw/Gl11Backend.h"
#include "draw/Gles2Backend.h"

#include <memory>

namespace velmorra::draw {

namespace {

std::unique_ptr<Backend>& startedBackend() {
    static std::unique_ptr<Backend> backend;
    return backend;
}

std::unique_ptr<Backend> makeBackend(BackendKind kind) {
    if (kind == BackendKind::gles2) {
        return std::make_unique<Gles2Backend>();
    }
    return std::make_unique<Gl11Backend>();
}

} // namespace

const char* backendName(BackendKind kind) {
    return kind == BackendKind::gles2 ? "gles2" : "gl11";
}

std::optional<BackendKind> backendNamed(std::string_view name) {
    for (const BackendKind kind : {BackendKind::gl11, BackendKind::gles2}) {
        if (name == backendName(kind)) {
            return kind;
        }
    }
    return std::nullopt;
}

bool startContext(BackendKind kind, std::string& why) {
    startedBackend() = makeBackend(kind);
    why = startedBackend()->failure();
    return why.empty();
}

void endContext() {
    startedBackend().reset();
}

BackendKind currentBackendKind() {
    return activeBackend().kind();
}

Backend& activeBackend() {
    std::unique_ptr<Backend>& started = startedBackend();
    if (!started) {
        started = std::make_unique<Gl11Backend>();
    }
    return *started;
}

} // namespace velmorra::draw
