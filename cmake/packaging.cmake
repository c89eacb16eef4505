# Release packages, made by cpack from a finished build.
#   Windows: tratta_valle3-<version>-win64.zip with tratta_valle3.exe (the
#            builder) and tratta_valle3.com (its console twin), a short
#            text for users, the manual (the manual page's text) and the
#            reference for authors, in one folder named after the package;
#   Linux:   tratta_valle3-<version>-linux-<processor>.tar.gz, the same with
#            the program; and tratta-valle3_<version>_<arch>.deb, which
#            installs the program in /usr/bin with its manual page (made by
#            help2man from the program's own --help), its bash completion,
#            the Vim and Neovim files where Debian's editors find them
#            (/usr/share/vim/vimfiles, /usr/share/nvim/site), the VS Code
#            package under /usr/share/tratta-valle3, and under
#            /usr/share/doc the README and the reference for authors.
# The zip and the tar.gz carry the VS Code package of their system too.
# The executables go in as built and tested, unstripped. Each kind of
# package takes its own component (cmake/package_components.cmake).
if(WIN32)
  set(TRATTA_PACKAGE_SYSTEM win64)
  set(TRATTA_USER_TEXT windows)
  set(TRATTA_USER_TEXT_NEWLINES WIN32)
  set(CPACK_GENERATOR ZIP)
  install(TARGETS tratta_valle3 tratta_valle3_console RUNTIME DESTINATION . COMPONENT archive)
  set(TRATTA_REFERENCE "descriptions.md, in the program's folder")
else()
  set(TRATTA_PACKAGE_SYSTEM linux-${CMAKE_SYSTEM_PROCESSOR})
  set(TRATTA_USER_TEXT linux)
  set(TRATTA_USER_TEXT_NEWLINES UNIX)
  set(CPACK_GENERATOR TGZ DEB)
  install(TARGETS tratta_valle3 RUNTIME DESTINATION . COMPONENT archive)
  set(TRATTA_REFERENCE /usr/share/doc/tratta-valle3/descriptions.md)
endif()

# The manual: the program's help (src/authoring/aiuto.txt, what --help
# prints) and the sections of packaging/manual.txt.in (files, examples).
# The manual page takes them through help2man; the Windows package as a
# text file.
set(TRATTA_MANUAL_NAME "build and author scenarios for a train-driving simulator")
configure_file(${PROJECT_SOURCE_DIR}/packaging/manual.txt.in ${PROJECT_BINARY_DIR}/package/manual.txt
               @ONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${PROJECT_SOURCE_DIR}/src/authoring/aiuto.txt ${PROJECT_SOURCE_DIR}/cmake/manual.cmake)

if(WIN32)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -DMODE=text -DEXTRA=${PROJECT_BINARY_DIR}/package/manual.txt
            -DHELP=${PROJECT_SOURCE_DIR}/src/authoring/aiuto.txt -DVERSION=${PROJECT_VERSION}
            "-DNAME_LINE=tratta_valle3 - ${TRATTA_MANUAL_NAME}"
            -DOUTPUT=${PROJECT_BINARY_DIR}/package/tratta_valle3_manual.txt
            -P ${PROJECT_SOURCE_DIR}/cmake/manual.cmake
    COMMAND_ERROR_IS_FATAL ANY)
  install(FILES ${PROJECT_BINARY_DIR}/package/tratta_valle3_manual.txt
                ${PROJECT_SOURCE_DIR}/docs/descriptions.md
          DESTINATION . COMPONENT archive)
endif()

# The VS Code package of this system, with the program inside (the console
# twin on Windows): the target vsix, made by cmake/vsix.cmake with Node.js
# and npm. It is no part of a plain build; the packages take it (their
# install step builds it) unless TRATTA_VSIX is OFF.
option(TRATTA_VSIX "Put the VS Code package into the release packages (needs Node.js and npm)" ON)
if(WIN32)
  set(TRATTA_VSIX_SYSTEM win32)
  set(TRATTA_VSIX_PROGRAM tratta_valle3_console)
else()
  set(TRATTA_VSIX_SYSTEM linux)
  set(TRATTA_VSIX_PROGRAM tratta_valle3)
endif()
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
  set(TRATTA_VSIX_TARGET ${TRATTA_VSIX_SYSTEM}-x64)
elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(aarch64|arm64|ARM64)$")
  set(TRATTA_VSIX_TARGET ${TRATTA_VSIX_SYSTEM}-arm64)
else()
  set(TRATTA_VSIX_TARGET "")
endif()
if(TRATTA_VSIX_TARGET)
  set(TRATTA_VSIX_FILE tratta-valle3-${TRATTA_VSIX_TARGET}.vsix)
  set(TRATTA_VSIX_PATH ${PROJECT_BINARY_DIR}/package/${TRATTA_VSIX_FILE})
  # The extension's own files (not the modules or the bundle of a copy
  # someone worked on in place).
  set(TRATTA_VSCODE_SOURCE ${PROJECT_SOURCE_DIR}/editors/vscode)
  file(GLOB TRATTA_VSIX_SOURCES CONFIGURE_DEPENDS ${TRATTA_VSCODE_SOURCE}/src/*.js
       ${TRATTA_VSCODE_SOURCE}/syntaxes/*.json)
  foreach(f package.json package-lock.json README.md language-configuration.json .vscodeignore)
    list(APPEND TRATTA_VSIX_SOURCES ${TRATTA_VSCODE_SOURCE}/${f})
  endforeach()
  add_custom_command(
    OUTPUT ${TRATTA_VSIX_PATH}
    COMMAND ${CMAKE_COMMAND} -DSOURCE=${TRATTA_VSCODE_SOURCE}
            -DLICENSE=${PROJECT_SOURCE_DIR}/packaging/copyright
            -DPROGRAM=$<TARGET_FILE:${TRATTA_VSIX_PROGRAM}>
            -DCARRIED=$<TARGET_FILE_NAME:${TRATTA_VSIX_PROGRAM}> -DTARGET=${TRATTA_VSIX_TARGET}
            -DVERSION=${PROJECT_VERSION} -DWORK=${PROJECT_BINARY_DIR}/vscode -DOUTPUT=${TRATTA_VSIX_PATH}
            -P ${PROJECT_SOURCE_DIR}/cmake/vsix.cmake
    DEPENDS ${TRATTA_VSIX_PROGRAM} ${TRATTA_VSIX_SOURCES} ${PROJECT_SOURCE_DIR}/packaging/copyright
            ${PROJECT_SOURCE_DIR}/cmake/vsix.cmake
    COMMENT "VS Code package ${TRATTA_VSIX_FILE}"
    VERBATIM)
  add_custom_target(vsix DEPENDS ${TRATTA_VSIX_PATH})
  if(TRATTA_VSIX)
    set(TRATTA_VSIX_COMPONENTS archive)
    if(NOT WIN32)
      list(APPEND TRATTA_VSIX_COMPONENTS deb)
    endif()
    foreach(component ${TRATTA_VSIX_COMPONENTS})
      install(CODE "execute_process(COMMAND \"${CMAKE_COMMAND}\" --build \"${PROJECT_BINARY_DIR}\" --target vsix
                                    COMMAND_ERROR_IS_FATAL ANY)"
              COMPONENT ${component})
    endforeach()
    install(FILES ${TRATTA_VSIX_PATH} DESTINATION . COMPONENT archive)
    if(NOT WIN32)
      install(FILES ${TRATTA_VSIX_PATH} DESTINATION share/tratta-valle3 COMPONENT deb)
    endif()
  endif()
endif()

# The text for users, with how to install the VS Code package when the
# archive holds it: its section follows the last line of the text (which
# ends with the placeholder), its line ends made the text's own, since
# configure_file converts only those of the file it reads.
set(TRATTA_VSIX_README "")
if(TRATTA_VSIX AND TRATTA_VSIX_TARGET)
  file(READ ${PROJECT_SOURCE_DIR}/packaging/README-vscode.txt.in TRATTA_VSIX_README)
  string(CONFIGURE "\n${TRATTA_VSIX_README}" TRATTA_VSIX_README @ONLY)
  string(REGEX REPLACE "\n$" "" TRATTA_VSIX_README "${TRATTA_VSIX_README}")
  if(WIN32)
    string(REPLACE "\n" "\r\n" TRATTA_VSIX_README "${TRATTA_VSIX_README}")
  endif()
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${PROJECT_SOURCE_DIR}/packaging/README-vscode.txt.in)
configure_file(${PROJECT_SOURCE_DIR}/packaging/README-${TRATTA_USER_TEXT}.txt.in
               ${PROJECT_BINARY_DIR}/package/README.txt @ONLY
               NEWLINE_STYLE ${TRATTA_USER_TEXT_NEWLINES})
install(FILES ${PROJECT_BINARY_DIR}/package/README.txt DESTINATION . COMPONENT archive)

set(CPACK_PACKAGE_CONTACT "tratta_valle3 developers <team@tratta-valle3.org>")
if(NOT WIN32)
  # The manual page, from the program's --help and --version.
  find_program(TRATTA_HELP2MAN help2man)
  if(TRATTA_HELP2MAN)
    set(TRATTA_MAN ${PROJECT_BINARY_DIR}/package/tratta_valle3.1)
    set(TRATTA_H2M ${PROJECT_BINARY_DIR}/package/tratta_valle3.h2m)
    execute_process(
      COMMAND ${CMAKE_COMMAND} -DMODE=h2m -DEXTRA=${PROJECT_BINARY_DIR}/package/manual.txt
              -DOUTPUT=${TRATTA_H2M} -P ${PROJECT_SOURCE_DIR}/cmake/manual.cmake
      COMMAND_ERROR_IS_FATAL ANY)
    add_custom_command(
      OUTPUT ${TRATTA_MAN}.gz
      COMMAND ${TRATTA_HELP2MAN} --no-info --section=1 --source=tratta_valle3
              "--name=${TRATTA_MANUAL_NAME}" --include=${TRATTA_H2M}
              --output=${TRATTA_MAN} $<TARGET_FILE:tratta_valle3>
      COMMAND gzip -9nf ${TRATTA_MAN}
      DEPENDS tratta_valle3 ${TRATTA_H2M}
      COMMENT "Manual page from tratta_valle3 --help")
    add_custom_target(tratta_manual ALL DEPENDS ${TRATTA_MAN}.gz)
    install(FILES ${TRATTA_MAN}.gz DESTINATION share/man/man1 COMPONENT deb)
  endif()
  install(TARGETS tratta_valle3 RUNTIME DESTINATION bin COMPONENT deb)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/bash-completion/tratta_valle3
          DESTINATION share/bash-completion/completions COMPONENT deb)
  # The editor packages of editors/vim, where Debian's Vim (its syntax and
  # the file names) and Neovim (those and the language server) look by
  # default.
  install(FILES ${PROJECT_SOURCE_DIR}/editors/vim/ftdetect/tratta.vim
          DESTINATION share/vim/vimfiles/ftdetect COMPONENT deb)
  install(FILES ${PROJECT_SOURCE_DIR}/editors/vim/syntax/tratta.vim
          DESTINATION share/vim/vimfiles/syntax COMPONENT deb)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/editors/vim/ DESTINATION share/nvim/site COMPONENT deb)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides
          DESTINATION share/lintian/overrides RENAME tratta-valle3 COMPONENT deb)
  # Debian's changelog of a native package, made from the version.
  set(TRATTA_CHANGELOG ${PROJECT_BINARY_DIR}/package/changelog)
  string(TIMESTAMP TRATTA_DATA "%a, %d %b %Y 00:00:00 +0000" UTC)
  file(WRITE ${TRATTA_CHANGELOG}
       "tratta-valle3 (${PROJECT_VERSION}) unstable; urgency=medium\n\n"
       "  * Release ${PROJECT_VERSION}.\n\n"
       " -- ${CPACK_PACKAGE_CONTACT}  ${TRATTA_DATA}\n")
  add_custom_command(OUTPUT ${TRATTA_CHANGELOG}.gz
                     COMMAND gzip -9nkf ${TRATTA_CHANGELOG}
                     DEPENDS ${TRATTA_CHANGELOG})
  add_custom_target(tratta_changelog ALL DEPENDS ${TRATTA_CHANGELOG}.gz)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/docs/descriptions.md
                ${PROJECT_SOURCE_DIR}/packaging/copyright ${TRATTA_CHANGELOG}.gz
          DESTINATION share/doc/tratta-valle3 COMPONENT deb)
endif()

set(CPACK_PACKAGE_NAME tratta_valle3)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME tratta_valle3-${PROJECT_VERSION}-${TRATTA_PACKAGE_SYSTEM})
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
set(CPACK_SOURCE_GENERATOR "")
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/package_components.cmake)

set(CPACK_DEBIAN_PACKAGE_NAME tratta-valle3)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "builds and authors scenarios for a train-driving simulator
tratta_valle3 writes the built-in scenario of a train-driving simulator
(line, train and route files), and gives scenario authors the tools
around it: emit the built-in descriptions, compile their own with
diagnostics and warnings, inspect the compiled files, view the route in a
web page, and a language server for their editor.")
include(CPack)
