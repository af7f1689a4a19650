# Installs the build tree into PREFIX and checks the layout a desktop expects:
#   cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DPREFIX=... -DAPP_ID=... -P check_install.cmake
cmake_minimum_required(VERSION 3.25)
foreach(var BUILD_DIR SOURCE_DIR PREFIX APP_ID)
  if(NOT ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${rc}):\n${out}")
endif()

# What must be there: fixed files, plus every help document, language file and sample scene.
set(expected
    bin/v3dtool
    bin/vorn3d
    share/applications/${APP_ID}.desktop
    share/doc/vorn3d/copyright
    share/icons/hicolor/128x128/apps/vorn3d.png
    share/icons/hicolor/256x256/apps/vorn3d.png
    share/icons/hicolor/48x48/apps/vorn3d.png
    share/icons/hicolor/scalable/apps/vorn3d.svg
    share/metainfo/${APP_ID}.metainfo.xml
    share/mime/packages/vorn3d.xml)
file(GLOB data RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/help/*.html ${SOURCE_DIR}/lang/*.lng)
if(NOT "help/vorn3ukr.html" IN_LIST data)
  message(FATAL_ERROR "no help/vorn3ukr.html in ${SOURCE_DIR}")
endif()
foreach(f ${data})
  get_filename_component(name ${f} NAME)
  list(APPEND expected share/vorn3d/${name})
endforeach()
file(GLOB samples RELATIVE ${SOURCE_DIR}/samples ${SOURCE_DIR}/samples/*.v3d)
list(LENGTH samples sampleCount)
if(sampleCount LESS 5)
  message(FATAL_ERROR "only ${sampleCount} sample scenes in ${SOURCE_DIR}/samples")
endif()
foreach(f ${samples})
  list(APPEND expected share/vorn3d/samples/${f})
endforeach()
list(SORT expected)

file(GLOB_RECURSE installed RELATIVE ${PREFIX} ${PREFIX}/*)
list(SORT installed)
if(NOT installed STREQUAL expected)
  set(missing ${expected})
  list(REMOVE_ITEM missing ${installed})
  set(extra ${installed})
  list(REMOVE_ITEM extra ${expected})
  message(FATAL_ERROR "installed layout differs\n  missing: ${missing}\n  unexpected: ${extra}")
endif()

foreach(program bin/vorn3d bin/v3dtool)
  file(STRINGS ${PREFIX}/${program} elf LIMIT_COUNT 1 LIMIT_INPUT 4)
  execute_process(COMMAND test -x ${PREFIX}/${program} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0 OR NOT elf MATCHES "ELF")
    message(FATAL_ERROR "${program} is not an executable program")
  endif()
endforeach()

# The menu entry opens a file with the program, and claims the scene type the MIME file defines.
file(READ ${PREFIX}/share/applications/${APP_ID}.desktop desktop)
file(READ ${PREFIX}/share/mime/packages/vorn3d.xml mime)
foreach(line "Exec=vorn3d %f" "Icon=vorn3d" "MimeType=application/x-vorn3d-scene;")
  string(FIND "${desktop}" "\n${line}\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${APP_ID}.desktop lacks the line ${line}")
  endif()
endforeach()
foreach(text [[type="application/x-vorn3d-scene"]] [[<glob pattern="*.v3d"/>]])
  string(FIND "${mime}" "${text}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "vorn3d.xml lacks ${text}")
  endif()
endforeach()
find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(DESKTOP_FILE_VALIDATE)
  execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} ${PREFIX}/share/applications/${APP_ID}.desktop
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0 OR out MATCHES "error")
    message(FATAL_ERROR "desktop-file-validate: ${out}")
  endif()
endif()

# The installed tool reads every installed sample.
foreach(f ${samples})
  execute_process(COMMAND ${PREFIX}/bin/v3dtool info ${PREFIX}/share/vorn3d/samples/${f}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0 OR out STREQUAL "")
    message(FATAL_ERROR "v3dtool info ${f} failed (${rc}): ${err}")
  endif()
endforeach()
file(REMOVE_RECURSE ${PREFIX})
message(STATUS "install layout: ${sampleCount} samples, all files in place")
