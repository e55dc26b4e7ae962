# zembra's shell end to end under Wine + Xvfb: the frame in-process (its menu and bars read back
# from the live windows), the real zembra.exe for the flows between programs.
if(TARGET zembra)
  # The program's own sources and resources without its entry point: the test runs the
  # application on a thread of its own and drives it from the test thread.
  get_target_property(zembra_test_sources zembra SOURCES)
  list(FILTER zembra_test_sources EXCLUDE REGEX "(zembra_main\\.cpp|_remblo\\.rc)$")
  get_target_property(zembra_test_libs zembra LINK_LIBRARIES)
  zembra_test(zembra_frame_gui_test SOURCES gui/zembra_frame_gui_test.cpp ${zembra_test_sources}
              LIBS ${zembra_test_libs} zb_gui_driver LABEL gui)
  target_include_directories(zembra_frame_gui_test PRIVATE ${CMAKE_SOURCE_DIR}/resources)
  # The same frame started from a folder deeper than MAX_PATH: it must know that folder whole and
  # find its help file there.
  add_test(NAME zembra_frame_deep_gui_test
           COMMAND bash ${CMAKE_SOURCE_DIR}/tests/gui/run_from_deep_folder.sh $<TARGET_FILE:zembra_frame_gui_test>
                   $<TARGET_FILE_DIR:zembra_frame_gui_test>/Zembra.html)
  set_tests_properties(zembra_frame_deep_gui_test PROPERTIES LABELS gui TIMEOUT 600
    ENVIRONMENT "ZEMBRA_SOURCE_DIR=${CMAKE_SOURCE_DIR};ZEMBRA_BINARY_DIR=${CMAKE_BINARY_DIR}")

  add_executable(zembra_stand_in gui/zembra_stand_in.cpp)
  zembra_test(zembra_shell_gui_test SOURCES gui/zembra_shell_gui_test.cpp
              LIBS zb_engine zb_platform zb_gui_driver advapi32 LABEL gui)
  add_dependencies(zembra_shell_gui_test zembra korvo zembra_stand_in)
endif()
