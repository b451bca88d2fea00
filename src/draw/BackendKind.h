#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmorra::draw {

// gl11: OpenGL 1.1's fixed functions, as the demo was made. gles2: the same pictures from
// OpenGL ES 2 shaders (also WebGL 1 and desktop OpenGL 2.1).
enum class BackendKind { gl11, gles2 };

// "gl11" or "gles2".
const char* backendName(BackendKind kind);
std::optional<BackendKind> backendNamed(std::string_view name);

// Starts drawing on the context that has just been made current, the given way; ends it (and
// frees what the layer made on it) before the context goes. Without a start the layer draws
// with gl11. False, with the driver's reason in `why`, when the context cannot draw that way
// (gles2's shaders do not build on it); the layer then draws nothing until it ends.
bool startContext(BackendKind kind, std::string& why);
void endContext();
BackendKind currentBackendKind();

} // namespace velmorra::draw
