# The setup end to end under Wine in a fresh prefix of the build's kind (32-bit for win32):
# installer_test.py installs the build into a scratch folder (which makes the setup), runs it
# silently, checks files, registry and shortcuts, lets installer_shell_host play Explorer with
# the installed varlo.dll, uninstalls.
find_program(ZEMBRA_TEST_PYTHON python3 REQUIRED)
add_executable(installer_shell_host win/installer_shell_host.cpp win/varlo_test_support.cpp)
target_include_directories(installer_shell_host PRIVATE ${CMAKE_SOURCE_DIR}/tests/win)
target_link_libraries(installer_shell_host PRIVATE ole32 oleaut32 uuid shell32 user32 version)
add_test(NAME installer_test COMMAND ${ZEMBRA_TEST_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/win/installer_test.py
  --build ${CMAKE_BINARY_DIR} --host $<TARGET_FILE:installer_shell_host> --version ${PROJECT_VERSION} --target ${ZEMBRA_TARGET})
set_tests_properties(installer_test PROPERTIES LABELS win TIMEOUT 900)
