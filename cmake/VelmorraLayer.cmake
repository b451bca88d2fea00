# One static library per layer of src/. A layer sees the headers of its own folder and of the
# layers it names, and nothing else: each layer's headers are reachable only through an include
# root of its own (build/layers/<layer>/<layer> -> src/<layer>), which a target gets by linking the
# layer. An include of a layer above fails to compile. The third-party headers that sit on the
# system's default include path (OpenGL, SDL, EGL, FFmpeg) are checked by a scan of the layer's
# sources before it compiles, since the compiler alone would find them from anywhere.

set(VELMORRA_LAYER_SCAN ${CMAKE_CURRENT_LIST_DIR}/CheckLayerIncludes.cmake)

# velmorra_layer(<name> [LAYERS lower...] [LIBRARIES third-party...] [ALLOW header-prefix...]
#                [SOURCES extra...] [BASE <base-name> <file regex>]
#                [NATIVE_ONLY <file regex>] [WEB_ONLY <file regex>])
# ALLOW names the third-party header folders this layer may include (e.g. GL, SDL2, EGL, libav).
# BASE puts the sources matching the regex into a library of their own, velmorra_<base-name>, with
# no dependencies, that the layer links: for the programs that need only that (the BMP fuzzer).
# NATIVE_ONLY names the sources that the browser build leaves out (what talks to SDL, GTK, EGL or
# x86 vector units), WEB_ONLY those that only the browser build compiles (what talks to html5,
# WebGL and Web Audio through emscripten).
function(velmorra_layer name)
  cmake_parse_arguments(LAYER "" "NATIVE_ONLY;WEB_ONLY" "LAYERS;LIBRARIES;ALLOW;SOURCES;BASE" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(FILTER sources EXCLUDE REGEX ".*/main\\.cpp$")
  if(VELMORRA_WEB AND LAYER_NATIVE_ONLY)
    list(FILTER sources EXCLUDE REGEX "${LAYER_NATIVE_ONLY}")
  elseif(NOT VELMORRA_WEB AND LAYER_WEB_ONLY)
    list(FILTER sources EXCLUDE REGEX "${LAYER_WEB_ONLY}")
  endif()
  if(LAYER_BASE)
    list(GET LAYER_BASE 0 base_name)
    list(GET LAYER_BASE 1 base_regex)
    set(base_sources ${sources})
    list(FILTER base_sources INCLUDE REGEX "${base_regex}")
    list(FILTER sources EXCLUDE REGEX "${base_regex}")
  endif()
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)

  set(root ${PROJECT_BINARY_DIR}/layers/${name})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${name} SYMBOLIC)

  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${name}-includes.checked)
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DLAYER=${name} "-DALLOWED=${LAYER_ALLOW}" -DWEB=${VELMORRA_WEB}
      -DFOLDER=${CMAKE_CURRENT_SOURCE_DIR} -DSTAMP=${stamp} -P ${VELMORRA_LAYER_SCAN}
    DEPENDS ${sources} ${headers} ${VELMORRA_LAYER_SCAN}
    COMMENT "Checking the third-party includes of the ${name} layer"
    VERBATIM)

  add_library(velmorra_${name} STATIC ${sources} ${LAYER_SOURCES} ${stamp})
  target_include_directories(velmorra_${name} PUBLIC ${root})
  if(LAYER_BASE)
    add_library(velmorra_${base_name} STATIC ${base_sources})
    target_include_directories(velmorra_${base_name} PUBLIC ${root})
    target_link_libraries(velmorra_${name} PUBLIC velmorra_${base_name})
  endif()
  foreach(lower IN LISTS LAYER_LAYERS)
    target_link_libraries(velmorra_${name} PUBLIC velmorra_${lower})
  endforeach()
  if(LAYER_LIBRARIES)
    target_link_libraries(velmorra_${name} PRIVATE ${LAYER_LIBRARIES})
  endif()
endfunction()
