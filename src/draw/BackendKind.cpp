#include "draw/BackendKind.h"

#include "draw/ActiveBackend.h"
#include "draw/BackendFactory.h"

#include <memory>

namespace velmorra::draw {

namespace {

std::unique_ptr<Backend>& startedBackend() {
    static std::unique_ptr<Backend> backend;
    return backend;
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
    startedBackend() = BackendFactory::make(kind);
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
        started = BackendFactory::make(BackendFactory::standard());
    }
    return *started;
}

} // namespace velmorra::draw
