zembra_test(platform_posix_test SOURCES unit/platform_posix_test.cpp LIBS zb_platform)
