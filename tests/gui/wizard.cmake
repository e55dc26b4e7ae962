# Wizard mode end to end under Wine + Xvfb: zembra.exe driven page by page, from its menu, from
# its command line and from the shell extension; the sets it builds are rejoined by the reader.
if(TARGET zembra AND TARGET zb_gui_driver)
  zembra_test(wizard_gui_test SOURCES gui/wizard_gui_test.cpp gui/wizard_varlo_gui_test.cpp
              gui/remote_controls.cpp win/varlo_test_support.cpp
              LIBS zb_rejoin zb_engine zb_zembra_model zb_gui_driver zb_platform
                   ole32 oleaut32 uuid shell32 comctl32 LABEL gui)
  target_include_directories(wizard_gui_test PRIVATE ${CMAKE_SOURCE_DIR}/tests/win)
  add_dependencies(wizard_gui_test zembra varlo varlo_fake_zembra)
endif()
