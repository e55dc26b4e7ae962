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

# The win32 build's sets against the win64 and host builds' programs, both ways; the set the
# win32 zembra.exe builds in presets_gui_test is kept for it (ZEMBRA_CROSS_SETS).
set(ZEMBRA_WIN64_DIST "" CACHE PATH "the win64 build's installed programs, for the cross-build checks")
if(ZEMBRA_TARGET STREQUAL "win32" AND ZEMBRA_WIN64_DIST AND TARGET cli_first_segment_driver AND TEST presets_gui_test)
  set(zb_gui_set ${CMAKE_BINARY_DIR}/cross_gui_set)
  set_property(TEST presets_gui_test APPEND PROPERTY ENVIRONMENT "ZEMBRA_CROSS_SETS=${zb_gui_set}")
  set_tests_properties(presets_gui_test PROPERTIES FIXTURES_SETUP zb_gui_set)
  add_test(NAME cli_cross_builds COMMAND bash ${CMAKE_SOURCE_DIR}/tests/cli/cli_cross_builds.sh ${ZEMBRA_HOST_CLI}
           $<TARGET_FILE:zembra-cli> $<TARGET_FILE:remblo> $<TARGET_FILE:cli_first_segment_driver>
           ${ZEMBRA_WIN64_DIST} ${zb_gui_set})
  set_tests_properties(cli_cross_builds PROPERTIES LABELS gui TIMEOUT 600 FIXTURES_REQUIRED zb_gui_set
    ENVIRONMENT "ZEMBRA_BINARY_DIR=${CMAKE_BINARY_DIR}")
endif()
