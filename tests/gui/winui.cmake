# CProgressPanel through real windows, and the progress demo driven by the GUI driver.
zembra_test(progress_panel_test SOURCES gui/progress_panel_test.cpp gui/progress_panel_test.rc
            LIBS zb_progress zb_gui_driver LABEL gui)
add_dependencies(progress_panel_test progress-demo)
