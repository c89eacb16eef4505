# Turns a text file of the source tree into a C++ header that holds its
# bytes, so that the program carries the file unchanged:
#
#   cmake -DINPUT=file -DOUTPUT=header.h -DNAME=kName -P embed_text.cmake
#
# The header defines `inline constexpr char NAME[]`: the file's bytes as
# they are (no line ending or encoding changed) and a closing NUL, which is
# not part of the text: its length is sizeof NAME - 1. Written as an array
# of character literals, so that no byte of the file and no length of it
# can break a string literal.
if(NOT INPUT OR NOT OUTPUT OR NOT NAME)
  message(FATAL_ERROR "embed_text.cmake: INPUT, OUTPUT and NAME are required")
endif()
if(NOT NAME MATCHES "^[A-Za-z_][A-Za-z0-9_]*$")
  message(FATAL_ERROR "embed_text.cmake: '${NAME}' is not a C++ name")
endif()

file(READ "${INPUT}" hex HEX)
file(SIZE "${INPUT}" size)
string(LENGTH "${hex}" digits)
set(bytes "")
set(i 0)
while(i LESS digits)
  # Sixteen bytes a line.
  string(SUBSTRING "${hex}" ${i} 32 line)
  string(REGEX REPLACE "(..)" "'\\\\x\\1'," line "${line}")
  string(APPEND bytes "  ${line}\n")
  math(EXPR i "${i} + 32")
endwhile()

get_filename_component(from "${INPUT}" NAME)
set(text "// Made at build time from ${from} by cmake/embed_text.cmake: edit ${from}.
#pragma once

// ${size} bytes and a closing NUL.
inline constexpr char ${NAME}[] = {
${bytes}  '\\0'};
")
file(WRITE "${OUTPUT}" "${text}")
