# Validates the desktop entry and the AppStream metainfo of packaging/ and checks that they agree:
#   cmake -DAPPSTREAMCLI=... -DDESKTOP_FILE_VALIDATE=... -DPACKAGING=... -DAPP_ID=... -DVERSION=...
#         -P check_metadata.cmake
cmake_minimum_required(VERSION 3.25)
foreach(var PACKAGING APP_ID VERSION)
  if(NOT ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()
foreach(tool APPSTREAMCLI DESKTOP_FILE_VALIDATE)
  if(NOT ${tool})
    message(FATAL_ERROR "${tool} not found: install appstream and desktop-file-utils")
  endif()
endforeach()
set(metainfo ${PACKAGING}/${APP_ID}.metainfo.xml)
set(desktop ${PACKAGING}/${APP_ID}.desktop)

# Without the network: the package's own build machines have none.
execute_process(COMMAND ${APPSTREAMCLI} validate --no-net ${metainfo}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "appstreamcli validate (${rc}):\n${out}")
endif()
# Hints are advice; errors and warnings are what the menu builders act on.
execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} ${desktop}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0 OR out MATCHES "(error|warning):")
  message(FATAL_ERROR "desktop-file-validate (${rc}):\n${out}")
endif()

# The metainfo names this desktop entry, this version and the scene type of the MIME file, which
# the desktop entry claims.
file(READ ${metainfo} meta)
file(READ ${desktop} entry)
file(READ ${PACKAGING}/vorn3d-mime.xml mime)
if(NOT mime MATCHES "<mime-type type=\"([^\"]+)\"")
  message(FATAL_ERROR "vorn3d-mime.xml defines no type")
endif()
set(type ${CMAKE_MATCH_1})
foreach(text "<id>${APP_ID}</id>" "<launchable type=\"desktop-id\">${APP_ID}.desktop</launchable>"
        "<mediatype>${type}</mediatype>" "<release version=\"${VERSION}\"")
  string(FIND "${meta}" "${text}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${APP_ID}.metainfo.xml lacks ${text}")
  endif()
endforeach()
string(FIND "${entry}" "\nMimeType=${type};\n" at)
if(at EQUAL -1)
  message(FATAL_ERROR "${APP_ID}.desktop does not claim ${type}")
endif()
message(STATUS "desktop metadata: ${APP_ID} ${VERSION}, ${type}")
