# cmake -DIMAGE=<file or empty> -DOUT=<cpp> -P embed_image.cmake
# Writes the rejoiner image the host programs carry as a byte array (empty when none given).
set(bytes "")
set(count 0)
if(IMAGE AND EXISTS "${IMAGE}")
  file(READ "${IMAGE}" hex HEX)
  string(LENGTH "${hex}" hexlen)
  math(EXPR count "${hexlen} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  # Break the single line so compilers and editors cope with it.
  string(REGEX REPLACE "((0x..,){32})" "\\1\n" bytes "${bytes}")
endif()
if(count EQUAL 0)
  set(bytes "0")
endif()
file(WRITE "${OUT}.tmp" "// Generated from the rejoiner image; do not edit.\n#include <cstddef>\n#include <cstdint>\n\nextern const uint8_t kRejoinerImage[] = {\n${bytes}\n};\nextern const size_t kRejoinerImageSize = ${count};\n")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
