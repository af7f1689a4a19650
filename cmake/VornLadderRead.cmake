# Reads the ladder file VORN_LADDER_FILE into VORN_LADDER_LIBRARIES (lowest first) and
# VORN_LADDER_<lib> (the libraries it stands on directly). A library may stand only on libraries
# written above it, so a misspelt or missing name stops the configure step here instead of
# leaving a library unlinked. Also usable alone:
#   cmake -DVORN_LADDER_FILE=src/ladder.txt -P cmake/VornLadderRead.cmake

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  cmake_minimum_required(VERSION 3.25)
endif()
set(VORN_LADDER_LIBRARIES)
file(STRINGS ${VORN_LADDER_FILE} _vorn_ladder_lines REGEX "^[a-z_]+:")
foreach(_line ${_vorn_ladder_lines})
  string(REGEX MATCH "^[a-z_]+" _lib "${_line}")
  string(REGEX REPLACE "^[a-z_]+:[ ]*" "" _deps "${_line}")
  separate_arguments(_deps)
  if(_lib IN_LIST VORN_LADDER_LIBRARIES)
    message(FATAL_ERROR "${VORN_LADDER_FILE}: ${_lib} is written twice")
  endif()
  foreach(_dep ${_deps})
    if(NOT _dep IN_LIST VORN_LADDER_LIBRARIES)
      message(FATAL_ERROR
              "${VORN_LADDER_FILE}: ${_lib} stands on ${_dep}, which is no library above it")
    endif()
  endforeach()
  set(VORN_LADDER_${_lib} ${_deps})
  list(APPEND VORN_LADDER_LIBRARIES ${_lib})
endforeach()
