# SPDX-License-Identifier: GPL-3.0-or-later
# cmake -DINPUT=file -DOUTPUT=source.cpp -DNAMESPACE=ns -DFUNCTION=name -P embed_file.cmake
# Writes a C++ source whose function `NAMESPACE::FUNCTION()` returns the bytes
# of INPUT as a std::string_view.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR bytes "${digits} / 2")
set(lines "")
set(offset 0)
while(offset LESS digits)
  string(SUBSTRING "${hex}" ${offset} 64 chunk)
  # Every byte a hex escape of exactly two digits: none can run into the next.
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\\\x\\1" chunk "${chunk}")
  string(APPEND lines "        \"${chunk}\"\n")
  math(EXPR offset "${offset} + 64")
endwhile()
get_filename_component(name "${INPUT}" NAME)
file(WRITE "${OUTPUT}.tmp"
  "// Generated from ${name}; do not edit.\n#include <string_view>\n\nnamespace ${NAMESPACE} {\n\n"
  "std::string_view ${FUNCTION}() {\n    static constexpr char bytes[] =\n${lines}        \"\";\n"
  "    return {bytes, ${bytes}};\n}\n\n}  // namespace ${NAMESPACE}\n")
execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different "${OUTPUT}.tmp" "${OUTPUT}")
file(REMOVE "${OUTPUT}.tmp")
