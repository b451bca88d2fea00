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

# The liquid's kernels under node: the check that the WebAssembly SIMD kernel gives the plain
# kernel's bits, and the cost of a frame. node loads a module only from one file
# (-sSINGLE_FILE=1); the programs are plain, with no test framework in this build.
set(web_fluid_programs
  fluid_kernels_check ${PROJECT_SOURCE_DIR}/tests/web/fluid_kernels_check.cpp
  fluid_web_bench ${PROJECT_SOURCE_DIR}/bench/web/fluid_web_bench.cpp)
while(web_fluid_programs)
  list(POP_FRONT web_fluid_programs name source)
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE velmorra_fluid)
  target_compile_options(${name} PRIVATE -msimd128 -ffp-contract=off)
  target_link_options(${name} PRIVATE -sSINGLE_FILE=1 -sALLOW_MEMORY_GROWTH=1 -sENVIRONMENT=node)
  set_target_properties(${name} PROPERTIES SUFFIX .js)
endwhile()
