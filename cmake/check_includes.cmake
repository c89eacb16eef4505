# Checks that includes run down the house: a source of one folder includes
# headers of its own folder and of the folders below it, never above.
# The folders, from the bottom:
#   platform, model, reader, emitter, compile, authoring, run
# Tests follow the same rule; the helpers they share (testing/) stand at the
# height of the highest folder they include, and only tests include them.
#
#   cmake -DSOURCE_DIR=<src> [-DSTAMP=<file>] -P check_includes.cmake
#
# Prints every include that runs up the house and fails when there is one.

get_filename_component(SOURCE_DIR "${SOURCE_DIR}" ABSOLUTE)
set(casa platform model reader emitter compile authoring run)

function(altezza cartella risultato)
  list(FIND casa "${cartella}" i)
  set(${risultato} ${i} PARENT_SCOPE)
endfunction()

# The folders a file includes from, as "folder/header" entries.
function(inclusi file risultato)
  file(STRINGS "${file}" righe REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z_]+/[^\"]+\"")
  set(out "")
  foreach(riga IN LISTS righe)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*$" "\\1" h "${riga}")
    list(APPEND out "${h}")
  endforeach()
  set(${risultato} "${out}" PARENT_SCOPE)
endfunction()

# The height of each testing/ header: the highest folder it reaches,
# through other testing/ headers too.
file(GLOB aiuti RELATIVE "${SOURCE_DIR}/testing" "${SOURCE_DIR}/testing/*.h")
foreach(a IN LISTS aiuti)
  set(altezza_${a} -1)
endforeach()
set(cambiato TRUE)
while(cambiato)
  set(cambiato FALSE)
  foreach(a IN LISTS aiuti)
    inclusi("${SOURCE_DIR}/testing/${a}" hh)
    set(alto ${altezza_${a}})
    foreach(h IN LISTS hh)
      string(REGEX REPLACE "/.*$" "" c "${h}")
      string(REGEX REPLACE "^[^/]+/" "" nome "${h}")
      if(c STREQUAL "testing")
        set(x ${altezza_${nome}})
      else()
        altezza("${c}" x)
      endif()
      if(x GREATER alto)
        set(alto ${x})
      endif()
    endforeach()
    if(NOT alto EQUAL altezza_${a})
      set(altezza_${a} ${alto})
      set(cambiato TRUE)
    endif()
  endforeach()
endwhile()

set(errori "")
foreach(cartella IN LISTS casa)
  altezza("${cartella}" qui)
  file(GLOB sorgenti "${SOURCE_DIR}/${cartella}/*.h" "${SOURCE_DIR}/${cartella}/*.cpp"
       "${SOURCE_DIR}/${cartella}/*.rc")
  foreach(f IN LISTS sorgenti)
    get_filename_component(nome_file "${f}" NAME)
    string(REGEX MATCH "_test\\.cpp$" di_prova "${nome_file}")
    inclusi("${f}" hh)
    foreach(h IN LISTS hh)
      string(REGEX REPLACE "/.*$" "" c "${h}")
      if(c STREQUAL "testing")
        string(REGEX REPLACE "^[^/]+/" "" nome "${h}")
        if(NOT di_prova)
          list(APPEND errori "${cartella}/${nome_file} includes ${h}, which only tests use")
        elseif(DEFINED altezza_${nome} AND altezza_${nome} GREATER qui)
          list(GET casa ${altezza_${nome}} sopra)
          list(APPEND errori "${cartella}/${nome_file} includes ${h}, which reaches up to ${sopra}/")
        endif()
        continue()
      endif()
      altezza("${c}" x)
      if(x GREATER qui)
        list(APPEND errori "${cartella}/${nome_file} includes ${h}: ${c}/ stands above ${cartella}/")
      endif()
    endforeach()
  endforeach()
endforeach()

if(errori)
  list(JOIN errori "\n  " testo)
  message(FATAL_ERROR "includes that run up the house:\n  ${testo}")
endif()
if(STAMP)
  file(TOUCH "${STAMP}")
endif()
