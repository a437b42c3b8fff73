# Writes the bundled sample into a C++ source: cmake -DINPUT=<csv> -DOUTPUT=<cpp> -P embed_sample.cmake
cmake_minimum_required(VERSION 3.25)
set(text "")
if(EXISTS "${INPUT}")
  file(READ "${INPUT}" text)
endif()
string(FIND "${text}" ")nuvcsv\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${INPUT} holds the text that ends the embedded literal")
endif()
file(WRITE "${OUTPUT}.tmp"
  "// Generated from the bundled sample by tools/embed_sample.cmake; do not edit.\n"
  "#include \"sample_data.h\"\n\nnamespace nuvstat {\n"
  "const char* const kIrisCsv = R\"nuvcsv(")
file(APPEND "${OUTPUT}.tmp" "${text}")
file(APPEND "${OUTPUT}.tmp" ")nuvcsv\";\n}  // namespace nuvstat\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
