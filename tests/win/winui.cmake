zembra_test(winui_test SOURCES win/winui_test.cpp win/winui_test.rc
            LIBS zb_winui zb_gui_driver LABEL gui)
