# The release package: `cmake --build --preset release --target package` writes build/release/vantaro-Tools-1.0.1.zip,
# one folder holding what a user unpacks and runs:
#   vantaro Tools.exe, PsyQrDcd.dll            the program and the QR library it loads from its own folder
#   engine/vantaro-local.exe, engine/README.txt the stand-in engine and the note on what it is
#   user-guide.md, screenshots/*.png           the user guide (Chinese and English) and the pictures it shows
# Included from the top level after every add_subdirectory, so the targets exist; Windows builds only.
if(NOT WIN32)
  return()
endif()

# The shipped build makes what the package holds and the tools around it (wintool, benchmarks), not the test programs:
# `--target package` builds "all" first, and the tests belong to the win32 build, where they run.
if(NOT VANTARO_TEST_BUILD)
  foreach(dir tests/core tests/win32 tests/qr)
    if(EXISTS ${PROJECT_SOURCE_DIR}/${dir}/CMakeLists.txt)
      get_property(targets DIRECTORY ${PROJECT_SOURCE_DIR}/${dir} PROPERTY BUILDSYSTEM_TARGETS)
      if(targets)
        set_target_properties(${targets} PROPERTIES EXCLUDE_FROM_ALL TRUE)
      endif()
    endif()
  endforeach()
endif()

install(TARGETS vantaro_tools RUNTIME DESTINATION . COMPONENT program)
if(TARGET PsyQrDcd)
  install(TARGETS PsyQrDcd RUNTIME DESTINATION . COMPONENT program)
else()
  message(WARNING "PsyQrDcd is not part of this build: the package will lack PsyQrDcd.dll and QR scanning")
endif()
if(TARGET vantaro_local)
  install(TARGETS vantaro_local RUNTIME DESTINATION engine COMPONENT program)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/packaging/engine-README.txt DESTINATION engine RENAME README.txt COMPONENT program)

# The guide and exactly the screenshots it links (docs/screenshots holds pictures for other pages too).
set(VANTARO_USER_GUIDE ${PROJECT_SOURCE_DIR}/docs/user-guide.md)
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${VANTARO_USER_GUIDE})
file(READ ${VANTARO_USER_GUIDE} VANTARO_USER_GUIDE_TEXT)
string(REGEX MATCHALL "\\(screenshots/[^)]+\\.png\\)" VANTARO_GUIDE_PICTURES "${VANTARO_USER_GUIDE_TEXT}")
list(REMOVE_DUPLICATES VANTARO_GUIDE_PICTURES)
install(FILES ${VANTARO_USER_GUIDE} DESTINATION . COMPONENT program)
foreach(picture ${VANTARO_GUIDE_PICTURES})
  string(REGEX REPLACE "^\\((.*)\\)$" "\\1" picture "${picture}")
  if(NOT EXISTS ${PROJECT_SOURCE_DIR}/docs/${picture})
    message(FATAL_ERROR "docs/user-guide.md shows ${picture}, which is not in docs/screenshots")
  endif()
  install(FILES ${PROJECT_SOURCE_DIR}/docs/${picture} DESTINATION screenshots COMPONENT program)
endforeach()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME "vantaro Tools")
set(CPACK_PACKAGE_VENDOR "vantaro")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "vantaro Tools: a tray program that drives a SOCKS5 proxy client")
# No spaces in the archive's name (download links, shells); the folder inside carries the same name.
set(CPACK_PACKAGE_FILE_NAME "vantaro-Tools-${PROJECT_VERSION}")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
# Only the project's own files: GoogleTest and others install nothing here, and nothing else is scanned.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};program;/")
include(CPack)
