# Turns a text file into a C++ source holding its bytes, so that data kept as a plain file
# is compiled into the program:
#   cmake -DINPUT=<file> -DOUTPUT=<file.cpp> -DSYMBOL=<name> -P embed_text.cmake
# The source defines `const char <SYMBOL>[]` (NUL-terminated) and `const std::size_t
# <SYMBOL>Size` (without the NUL) in namespace ulvo.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hexLength)
math(EXPR size "${hexLength} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
# One line per 16 bytes keeps the generated file readable in a debugger.
string(REGEX REPLACE "(('[^']*',){16})" "\\1\n    " bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
  "// Generated from ${INPUT} by cmake/embed_text.cmake; do not edit.\n"
  "#include <cstddef>\n\n"
  "namespace ulvo {\n"
  "extern const char ${SYMBOL}[];\n"
  "extern const std::size_t ${SYMBOL}Size;\n"
  "const char ${SYMBOL}[] = {\n    ${bytes}'\\0'};\n"
  "const std::size_t ${SYMBOL}Size = ${size};\n"
  "}  // namespace ulvo\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
