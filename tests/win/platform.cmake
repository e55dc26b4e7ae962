zembra_test(platform_win32_test SOURCES win/platform_win32_test.cpp LIBS zb_platform LABEL win)
