cmake_minimum_required(VERSION 3.25)
# Fails when a source of layer LAYER (folder FOLDER) includes a third-party header that belongs to
# another layer. ALLOWED lists the header folders this layer may include; WEB says whether this is the
# browser build. Run by velmorra_layer.
set(guarded GL GLES2 SDL2 gtk gdk glib gio EGL libavcodec libavformat libavutil libswscale libswresample
  ft2build freetype fontconfig emscripten)
file(GLOB files ${FOLDER}/*.cpp ${FOLDER}/*.h ${FOLDER}/*/*.cpp ${FOLDER}/*/*.h)
# The web/ folders are compiled only by the browser build, which checks them with its own allowances.
if(NOT WEB)
  list(FILTER files EXCLUDE REGEX "/web/[^/]*$")
endif()
set(offences "")
foreach(file IN LISTS files)
  file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*<")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*<([^/>.]+).*" "\\1" top "${line}")
    if(top IN_LIST guarded AND NOT top IN_LIST ALLOWED)
      get_filename_component(shown ${file} NAME)
      string(APPEND offences "  ${LAYER}/${shown}: ${line}\n")
    endif()
  endforeach()
endforeach()
if(offences)
  message(FATAL_ERROR "The ${LAYER} layer includes headers of a library it does not own:\n${offences}")
endif()
file(TOUCH ${STAMP})
