# The manual's sections beyond the help (files, examples), written once in
# packaging/manual.txt.in, in the form each package needs:
#
#   cmake -DMODE=h2m  -DEXTRA=manual.txt -DOUTPUT=file.h2m -P manual.cmake
#   cmake -DMODE=text -DEXTRA=manual.txt -DHELP=aiuto.txt -DVERSION=1.0.0
#         -DNAME_LINE="..." -DOUTPUT=manual.txt -P manual.cmake
#
# h2m: help2man's include file for the manual page, whose other sections
# come from the program's --help. text: the whole manual as a text file for
# Windows (CRLF): name, the help as --help prints it, then the sections.
#
# EXTRA's layout: a line in capitals opens a section; paragraphs apart by
# an empty line; lines indented by two spaces are shown as they are
# (examples).
foreach(v MODE EXTRA OUTPUT)
  if(NOT ${v})
    message(FATAL_ERROR "manual.cmake: ${v} is required")
  endif()
endforeach()

file(STRINGS "${EXTRA}" lines)

if(MODE STREQUAL "h2m")
  set(out "")
  set(verbatim OFF)
  foreach(line IN LISTS lines)
    if(line MATCHES "^  " AND NOT verbatim)
      string(APPEND out ".nf\n")
      set(verbatim ON)
    elseif(NOT line MATCHES "^  " AND verbatim)
      string(APPEND out ".fi\n")
      set(verbatim OFF)
    endif()
    if(line MATCHES "^[A-Z][A-Z ]+$")
      string(APPEND out "\n[${line}]\n")
    elseif(line STREQUAL "")
      string(APPEND out ".PP\n")
    else()
      string(REGEX REPLACE "^  " "" line "${line}")
      # Roff takes a backslash as an escape and a leading dot or quote
      # as a request.
      string(REPLACE "\\" "\\e" line "${line}")
      if(line MATCHES "^[.']")
        set(line "\\&${line}")
      endif()
      string(APPEND out "${line}\n")
    endif()
  endforeach()
  if(verbatim)
    string(APPEND out ".fi\n")
  endif()
  # An empty line before a section heading would give an empty paragraph.
  string(REPLACE ".PP\n\n[" "\n[" out "${out}")
  string(REGEX REPLACE "^\n" "" out "${out}")
  file(WRITE "${OUTPUT}" "${out}")
elseif(MODE STREQUAL "text")
  file(READ "${HELP}" help)
  file(READ "${EXTRA}" extra)
  string(REGEX REPLACE "\n+$" "\n" extra "${extra}")
  set(out "TRATTA_VALLE3 ${VERSION}\n\nNAME\n  ${NAME_LINE}\n\nDESCRIPTION\n${help}\n${extra}")
  string(REPLACE "\r\n" "\n" out "${out}")
  string(REPLACE "\n" "\r\n" out "${out}")
  file(WRITE "${OUTPUT}" "${out}")
else()
  message(FATAL_ERROR "manual.cmake: MODE is h2m or text, not '${MODE}'")
endif()
