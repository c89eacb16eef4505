# Release packages, made by cpack from a finished build: the program with a
# short text for its users, in one folder named after the package.
#   Windows: tratta_valle3-<version>-win64.zip with tratta_valle3.exe (the
#            builder) and tratta_valle3.com (its console twin);
#   Linux:   tratta_valle3-<version>-linux-<processor>.tar.gz.
# The executables go in as built and tested, unstripped.
if(WIN32)
  set(TRATTA_PACKAGE_SYSTEM win64)
  set(TRATTA_USER_TEXT windows)
  set(TRATTA_USER_TEXT_NEWLINES WIN32)
  set(CPACK_GENERATOR ZIP)
  install(TARGETS tratta_valle3 tratta_valle3_console RUNTIME DESTINATION .)
else()
  set(TRATTA_PACKAGE_SYSTEM linux-${CMAKE_SYSTEM_PROCESSOR})
  set(TRATTA_USER_TEXT linux)
  set(TRATTA_USER_TEXT_NEWLINES UNIX)
  set(CPACK_GENERATOR TGZ)
  install(TARGETS tratta_valle3 RUNTIME DESTINATION .)
endif()

configure_file(${PROJECT_SOURCE_DIR}/packaging/README-${TRATTA_USER_TEXT}.txt.in
               ${PROJECT_BINARY_DIR}/package/README.txt @ONLY
               NEWLINE_STYLE ${TRATTA_USER_TEXT_NEWLINES})
install(FILES ${PROJECT_BINARY_DIR}/package/README.txt DESTINATION .)

set(CPACK_PACKAGE_NAME tratta_valle3)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME tratta_valle3-${PROJECT_VERSION}-${TRATTA_PACKAGE_SYSTEM})
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
