#pragma once

namespace velmorra {

// Whether the GL_RENDERER string names an implementation fast enough for the
// demo. The legacy software rasterisers (Mesa's softpipe and classic swrast,
// Windows' "GDI Generic") are not; a null name, from a driver that cannot say
// what it is, is not either.
bool isAcceleratedRenderer(const char* glRenderer);

} // namespace velmorra
