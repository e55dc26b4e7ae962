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

  add_executable(zembra_stand_in gui/zembra_stand_in.cpp)
  zembra_test(zembra_shell_gui_test SOURCES gui/zembra_shell_gui_test.cpp
              LIBS zb_engine zb_platform zb_gui_driver advapi32 LABEL gui)
  add_dependencies(zembra_shell_gui_test zembra korvo zembra_stand_in)
endif()
