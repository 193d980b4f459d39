# Writes the bytes of IN into OUT as the array kFavicon.
file(READ ${IN} hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
file(WRITE ${OUT} "// Made from the game's icon at build time.\n#include \"server/favicon.h\"\n"
  "const unsigned char kFavicon[] = {${bytes}};\nconst unsigned long kFaviconSize = ${size};\n")
