# The main form end to end under Wine + Xvfb: zembra.exe on a folder tree the test makes.
if(TARGET zembra AND TARGET zb_gui_driver)
  zembra_test(view_gui_test SOURCES gui/view_gui_test.cpp gui/remote_controls.cpp
              LIBS zb_gui_driver zb_platform comctl32 ole32 uuid LABEL gui)
  add_dependencies(view_gui_test zembra)
endif()
