# The VS Code package for one system, made by the target vsix
# (cmake/packaging.cmake) from editors/vscode:
#   cmake -DSOURCE=editors/vscode -DLICENSE=packaging/copyright
#         -DPROGRAM=the built program -DCARRIED=its name in the package
#         -DTARGET=linux-x64|win32-x64 -DVERSION=x.y.z -DWORK=folder
#         -DOUTPUT=file.vsix -P cmake/vsix.cmake
# The extension is staged in WORK, given the program's version and the
# program, its tools installed from the npm registry as package-lock.json
# pins them (npm ci, again only when the lock changes), its script bundled
# into dist/extension.js by esbuild (the package's vscode:prepublish) and
# packaged by vsce for TARGET, with only the files .vscodeignore lets in.
cmake_minimum_required(VERSION 3.25)
foreach(v SOURCE LICENSE PROGRAM CARRIED TARGET VERSION WORK OUTPUT)
  if(NOT DEFINED ${v})
    message(FATAL_ERROR "vsix.cmake: -D${v}=... missing")
  endif()
endforeach()

find_program(NODE node)
find_program(NPM npm)
if(NOT NODE OR NOT NPM)
  message(FATAL_ERROR
          "The VS Code package is made with Node.js and npm: install them (tools/install-deps "
          "nodejs npm), or configure with -DTRATTA_VSIX=OFF for packages without it.")
endif()

set(ext ${WORK}/ext)
# Everything but the installed tools is staged anew.
if(EXISTS ${ext})
  file(GLOB staged LIST_DIRECTORIES true ${ext}/* ${ext}/.vscodeignore)
  list(FILTER staged EXCLUDE REGEX "/node_modules$")
  if(staged)
    file(REMOVE_RECURSE ${staged})
  endif()
endif()
file(MAKE_DIRECTORY ${ext}/bin)
file(COPY ${SOURCE}/ DESTINATION ${ext} PATTERN node_modules EXCLUDE PATTERN dist EXCLUDE)
file(COPY_FILE ${LICENSE} ${ext}/LICENSE.txt)
# As built and tested, executable.
file(COPY_FILE ${PROGRAM} ${ext}/bin/${CARRIED})
file(CHMOD ${ext}/bin/${CARRIED} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
     GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

function(run)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${ext} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    list(JOIN ARGN " " command)
    message(FATAL_ERROR "vsix.cmake: '${command}' failed (${status})")
  endif()
endfunction()

# The program's version is the package's (one expression: no semicolon
# in a CMake list).
run(${NODE} -e "fs = require('fs'), p = JSON.parse(fs.readFileSync('package.json', 'utf8')),
p.version = process.argv[1], fs.writeFileSync('package.json', JSON.stringify(p, null, 2) + '\\n')"
    ${VERSION})

set(installed ${ext}/node_modules/.tratta-package-lock.json)
file(READ ${SOURCE}/package-lock.json lock)
set(have "")
if(EXISTS ${installed})
  file(READ ${installed} have)
endif()
if(NOT have STREQUAL lock)
  run(${NPM} ci --no-audit --no-fund --loglevel=error)
  file(WRITE ${installed} "${lock}")
endif()

get_filename_component(output_dir ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${output_dir})
file(REMOVE ${OUTPUT})
# No repository to link to: the package's README has no relative links.
run(${NODE} node_modules/@vscode/vsce/vsce package --target ${TARGET} --no-dependencies
    --allow-missing-repository --out ${OUTPUT})
