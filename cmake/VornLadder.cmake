# Engine and window libraries built by the ladder in src/ladder.txt.
#
# vorn_library(NAME FOLDER SOURCES files... HEADERS files...) adds a static library whose public
# include root (build/include/NAME) holds links to its own headers under FOLDER, and links it to
# the libraries the ladder puts under it. An include of a header from a library above therefore
# does not compile. Every library's files are listed in build/ladder_files.txt for the ladder test.

set(VORN_LADDER_FILE ${PROJECT_SOURCE_DIR}/src/ladder.txt)
set(VORN_INCLUDE_ROOT ${PROJECT_BINARY_DIR}/include)
set(VORN_LADDER_MANIFEST ${PROJECT_BINARY_DIR}/ladder_files.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${VORN_LADDER_FILE})
file(REMOVE_RECURSE ${VORN_INCLUDE_ROOT})
file(WRITE ${VORN_LADDER_MANIFEST} "")

include(${CMAKE_CURRENT_LIST_DIR}/VornLadderRead.cmake)
foreach(_lib ${VORN_LADDER_LIBRARIES})
  set_property(GLOBAL PROPERTY VORN_LADDER_${_lib} "${VORN_LADDER_${_lib}}")
  set_property(GLOBAL APPEND PROPERTY VORN_LADDER_LIBRARIES ${_lib})
endforeach()

function(vorn_library name folder)
  cmake_parse_arguments(L "" "" "SOURCES;HEADERS" ${ARGN})
  get_property(known GLOBAL PROPERTY VORN_LADDER_LIBRARIES)
  if(NOT name IN_LIST known)
    message(FATAL_ERROR "${name} is not on the ladder in ${VORN_LADDER_FILE}")
  endif()
  list(TRANSFORM L_SOURCES PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/ REGEX "^[^/]")
  list(TRANSFORM L_HEADERS PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/ REGEX "^[^/]")
  add_library(${name} STATIC ${L_SOURCES} ${L_HEADERS})
  set(root ${VORN_INCLUDE_ROOT}/${name})
  file(MAKE_DIRECTORY ${root}/${folder})
  foreach(header ${L_HEADERS})
    get_filename_component(header_name ${header} NAME)
    file(CREATE_LINK ${header} ${root}/${folder}/${header_name} SYMBOLIC)
  endforeach()
  foreach(file ${L_SOURCES} ${L_HEADERS})
    file(APPEND ${VORN_LADDER_MANIFEST} "${name} ${file}\n")
  endforeach()
  target_include_directories(${name} PUBLIC ${root})
  # By name: a library made in a later folder is linked all the same, once it exists.
  get_property(deps GLOBAL PROPERTY VORN_LADDER_${name})
  target_link_libraries(${name} PUBLIC ${deps})
endfunction()
