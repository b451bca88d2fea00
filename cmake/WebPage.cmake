# The page's module and the site around it, in VELMORRA_SITE_DIR: index.html with its script and
# style, velmorra.js + .wasm, the content packed into velmorra.data (the music apart: the browser
# decodes it itself), the dialog's picture and the icon.
set(VELMORRA_SITE_DIR ${PROJECT_BINARY_DIR}/site CACHE PATH "Where the browser build puts the site")
set(exported _main _velmorra_start _velmorra_stop _velmorra_set_hidden _velmorra_running)
list(JOIN exported "," exported)
target_link_options(velmorra PRIVATE
  -sEXPORTED_FUNCTIONS=${exported}
  -sEXPORTED_RUNTIME_METHODS=ccall,FS,UTF8ToString
  -sALLOW_MEMORY_GROWTH=1
  -sMIN_WEBGL_VERSION=1 -sMAX_WEBGL_VERSION=1
  -sENVIRONMENT=web
  "SHELL:--preload-file ${PROJECT_SOURCE_DIR}/data@/data"
  # CMake would merge repeated options into one: each exclusion goes whole.
  "SHELL:--exclude-file *.mp3" "SHELL:--exclude-file *icons*" "SHELL:--exclude-file *settings.bmp")
set_target_properties(velmorra PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VELMORRA_SITE_DIR} SUFFIX ".js")
# The glyphs are written by the native velmorra_rasterise_glyphs before this build (scripts/web).
set_property(TARGET velmorra APPEND PROPERTY LINK_DEPENDS ${PROJECT_SOURCE_DIR}/data
  ${PROJECT_SOURCE_DIR}/data/glyphs.bin)

set(page_files index.html page.js page.css)
set(site_files)
foreach(file IN LISTS page_files)
  list(APPEND site_files ${VELMORRA_SITE_DIR}/${file})
  add_custom_command(OUTPUT ${VELMORRA_SITE_DIR}/${file}
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/web/${file} ${VELMORRA_SITE_DIR}/${file}
    DEPENDS ${PROJECT_SOURCE_DIR}/web/${file} VERBATIM)
endforeach()
foreach(pair "data/amns.mp3=data/amns.mp3" "data/settings.bmp=data/settings.bmp"
             "data/icons/velmorra-48.png=icon.png")
  string(REPLACE "=" ";" pair ${pair})
  list(GET pair 0 from)
  list(GET pair 1 to)
  list(APPEND site_files ${VELMORRA_SITE_DIR}/${to})
  add_custom_command(OUTPUT ${VELMORRA_SITE_DIR}/${to}
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/${from} ${VELMORRA_SITE_DIR}/${to}
    DEPENDS ${PROJECT_SOURCE_DIR}/${from} VERBATIM)
endforeach()
add_custom_target(site ALL DEPENDS ${site_files} velmorra)
