# The browser build: the layers that the demo needs, compiled by emscripten, and the page's
# module (velmorra.js + velmorra.wasm) that web/index.html loads. scripts/web drives it.
add_compile_options(-Wall -Wextra)
if(VELMORRA_WERROR)
  add_compile_options(-Werror)
endif()
include(cmake/VelmorraLayer.cmake)

foreach(layer draw platform math render scene fluid engine demo app)
  add_subdirectory(src/${layer})
endforeach()
