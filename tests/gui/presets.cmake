# zembra.exe end to end under Wine + Xvfb: size presets, the custom size dialog, and Begin Split
# into a folder and onto the diskette A: (rejoined with this build's zembra-cli).
if(TARGET zembra AND TARGET zembra-cli AND TARGET zb_gui_driver)
  zembra_test(presets_gui_test SOURCES gui/presets_gui_test.cpp gui/remote_controls.cpp
              LIBS zb_gui_driver zb_platform LABEL gui)
  add_dependencies(presets_gui_test zembra zembra-cli)
endif()
