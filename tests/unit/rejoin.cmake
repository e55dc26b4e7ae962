# Rejoiner: the reader over crafted and engine-written sets, names, the image a program carries.
zembra_test(rejoin_image_test SOURCES unit/rejoin_image_test.cpp LIBS zb_rejoin)
zembra_embed_rejoiner(rejoin_image_test)
if(ZEMBRA_REJOINER_IMAGE AND EXISTS "${ZEMBRA_REJOINER_IMAGE}")
  target_compile_definitions(rejoin_image_test PRIVATE REMBLO_IMAGE_FILE="${ZEMBRA_REJOINER_IMAGE}")
endif()
zembra_test(rejoin_reader_test SOURCES unit/rejoin_reader_test.cpp LIBS zb_rejoin)
zembra_test(rejoin_names_test SOURCES unit/rejoin_names_test.cpp LIBS zb_rejoin)
if(TARGET zb_engine)
  zembra_test(rejoin_roundtrip_test SOURCES unit/rejoin_roundtrip_test.cpp LIBS zb_rejoin zb_engine)
endif()
zembra_test(rejoin_fuzz_test SOURCES unit/rejoin_fuzz_test.cpp LIBS zb_rejoin)

# libFuzzer target, built on request where clang is present (it is not part of the test run).
find_program(ZEMBRA_CLANGXX clang++)
if(ZEMBRA_CLANGXX)
  set(src ${CMAKE_SOURCE_DIR})
  set(fuzz_sources ${src}/tests/fuzz/rejoin_fuzz.cpp
      ${src}/rejoiner/segment_reader.cpp ${src}/rejoiner/segment_data.cpp ${src}/rejoiner/segment_name.cpp
      ${src}/rejoiner/entry_name.cpp ${src}/rejoiner/folder_table.cpp ${src}/platform/posix/file_system_posix.cpp
      ${src}/platform/posix/drive_map.cpp ${src}/platform/posix/code_page.cpp)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/bin/rejoin_fuzz
    COMMAND ${ZEMBRA_CLANGXX} -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined
            -I${src} -I${src}/tests ${fuzz_sources} -o ${CMAKE_BINARY_DIR}/bin/rejoin_fuzz
    DEPENDS ${fuzz_sources} ${src}/tests/fuzz/rejoin_fuzz_case.h
    COMMENT "Building the rejoin fuzzer with clang"
    VERBATIM)
  add_custom_target(rejoin_fuzz DEPENDS ${CMAKE_BINARY_DIR}/bin/rejoin_fuzz)
endif()
zembra_test(rejoin_checksum_test SOURCES unit/rejoin_checksum_test.cpp LIBS zb_rejoin zb_checksum)
