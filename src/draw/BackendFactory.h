#pragma once

#include "draw/Backend.h"
#include "draw/BackendKind.h"

#include <memory>

namespace velmorra::draw {

// Which backends this build has: the desktop build both, the browser build only gles2 (WebGL has
// no fixed functions).
class BackendFactory {
  public:
    static std::unique_ptr<Backend> make(BackendKind kind);
    // What draws when no context was started the way a caller asked.
    static BackendKind standard();
};

} // namespace velmorra::draw
