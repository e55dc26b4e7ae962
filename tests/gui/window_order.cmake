# Which window owns a message box or modal dialog while the wizard or the contents viewer is up.
if(TARGET zembra AND TARGET zb_gui_driver)
  zembra_test(window_order_gui_test SOURCES gui/window_order_gui_test.cpp gui/remote_controls.cpp
              LIBS zb_rejoin zb_engine zb_zembra_model zb_gui_driver zb_platform
                   ole32 oleaut32 uuid shell32 comctl32 LABEL gui)
  add_dependencies(window_order_gui_test zembra)
endif()
