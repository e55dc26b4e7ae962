# (Named to sort after driver.cmake, whose library it links.)
# zembra-cli across the two worlds: needs the host build's zembra-cli (ZEMBRA_HOST_CLI).
set(ZEMBRA_HOST_CLI "" CACHE FILEPATH "host zembra-cli for the cross-checks under Wine")
if(ZEMBRA_HOST_CLI AND TARGET zembra-cli AND TARGET remblo AND TARGET zb_gui_driver)
  add_executable(cli_first_segment_driver gui/cli_first_segment_driver.cpp)
  target_link_libraries(cli_first_segment_driver PRIVATE zb_gui_driver zb_platform)
  target_include_directories(cli_first_segment_driver PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  add_test(NAME cli_cross COMMAND bash ${CMAKE_SOURCE_DIR}/tests/cli/cli_cross.sh ${ZEMBRA_HOST_CLI}
           $<TARGET_FILE:zembra-cli> $<TARGET_FILE:remblo> $<TARGET_FILE:cli_first_segment_driver>)
  set_tests_properties(cli_cross PROPERTIES LABELS gui TIMEOUT 600
    ENVIRONMENT "ZEMBRA_BINARY_DIR=${CMAKE_BINARY_DIR}")
  # The destination checks with the Windows zembra-cli rejoining: hard links, cut sets, a folder
  # swapped for a link by another process while files are written into it.
  add_test(NAME cli_destination_win COMMAND bash ${CMAKE_SOURCE_DIR}/tests/cli/cli_destination.sh ${ZEMBRA_HOST_CLI}
           $<TARGET_FILE:zembra-cli>)
  set_tests_properties(cli_destination_win PROPERTIES LABELS win TIMEOUT 600
    ENVIRONMENT "ZEMBRA_BINARY_DIR=${CMAKE_BINARY_DIR}")
endif()
