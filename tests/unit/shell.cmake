# The main program's shell rules that need no window: the settings fallback, the recent-file list.
zembra_test(shell_settings_test SOURCES unit/shell_settings_test.cpp LIBS zb_app_model zb_platform)
zembra_test(shell_rules_test SOURCES unit/shell_rules_test.cpp LIBS zb_app_model zb_platform)
