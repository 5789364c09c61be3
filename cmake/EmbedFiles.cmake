# Build-time script: writes OUTPUT, a C++ file that defines one NUL-terminated
# char array per input file, byte for byte. Called with
#   -DOUTPUT=file.cpp -DENTRIES="symbol=path;symbol=path" -P EmbedFiles.cmake
set(content "// Generated from the GLSL files next to the frame pipeline; do not edit.\n")
foreach(entry IN LISTS ENTRIES)
  string(FIND "${entry}" "=" split)
  string(SUBSTRING "${entry}" 0 ${split} symbol)
  math(EXPR pathStart "${split} + 1")
  string(SUBSTRING "${entry}" ${pathStart} -1 path)
  file(READ "${path}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1', " bytes "${hex}")
  string(APPEND content "extern const char ${symbol}[];\nconst char ${symbol}[] = {${bytes}'\\0'};\n")
endforeach()
file(WRITE "${OUTPUT}.tmp" "${content}")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
