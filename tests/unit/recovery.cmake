# Recovery volumes: the portable core, natively.
if(TARGET zb_recovery)
  zembra_test(recovery_test SOURCES unit/recovery_test.cpp LIBS zb_recovery)
endif()

# libFuzzer target, built on request where clang is present (it is not part of the test run).
find_program(ZEMBRA_CLANGXX clang++)
if(ZEMBRA_CLANGXX)
  set(src ${CMAKE_SOURCE_DIR})
  file(GLOB recovery_sources ${src}/recovery/*.cpp)
  list(FILTER recovery_sources EXCLUDE REGEX "_win32\\.cpp$")
  set(recovery_fuzz_sources ${src}/tests/fuzz/recovery_fuzz.cpp ${recovery_sources}
      ${src}/platform/posix/file_system_posix.cpp ${src}/platform/posix/drive_map.cpp
      ${src}/platform/posix/code_page.cpp ${src}/platform/posix/paths_posix.cpp)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/bin/recovery_fuzz
    COMMAND ${ZEMBRA_CLANGXX} -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -pthread
            -I${src} ${recovery_fuzz_sources} -o ${CMAKE_BINARY_DIR}/bin/recovery_fuzz
    DEPENDS ${recovery_fuzz_sources}
    COMMENT "Building the recovery fuzzer with clang"
    VERBATIM)
  add_custom_target(recovery_fuzz DEPENDS ${CMAKE_BINARY_DIR}/bin/recovery_fuzz)
endif()
