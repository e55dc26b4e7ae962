# resources/varlo.reg is generated from installer/registry.txt: a hand edit of either alone fails.
find_program(ZEMBRA_TEST_PYTHON python3 REQUIRED)
add_test(NAME varlo_registration_generated
  COMMAND ${ZEMBRA_TEST_PYTHON} ${CMAKE_SOURCE_DIR}/installer/registry.py check ${CMAKE_SOURCE_DIR}/resources/varlo.reg)
set_tests_properties(varlo_registration_generated PROPERTIES LABELS unit)
