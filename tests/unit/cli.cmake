zembra_test(cli_options_test SOURCES unit/cli_options_test.cpp LIBS zb_cli)
zembra_test(cli_checksum_test SOURCES unit/cli_checksum_test.cpp LIBS zb_cli)
if(TARGET zembra-cli)
  # End to end on the host, one script per group: round trips, the command line users expect,
  # the checksums beside a set, what a rejoin does to the destination around the set's files.
  foreach(script cli_e2e cli_usage cli_checksums cli_destination cli_recovery)
    add_test(NAME ${script} COMMAND bash ${CMAKE_SOURCE_DIR}/tests/cli/${script}.sh $<TARGET_FILE:zembra-cli>)
    set_tests_properties(${script} PROPERTIES LABELS unit TIMEOUT 300)
  endforeach()
endif()
# The checksums made on a second thread while a set is written.
zembra_test(cli_hashing_test SOURCES unit/cli_hashing_test.cpp LIBS zb_cli_set zb_engine)
