zembra_test(cli_options_test SOURCES unit/cli_options_test.cpp LIBS zb_cli)
