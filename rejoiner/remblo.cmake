# remblo: the rejoiner program that heads every first segment. Lean and fully static: it is run
# from wherever a set was received, on a bare Windows.
add_executable(remblo WIN32 remblo_main.cpp rejoin_dialog.cpp file_exists_dialog.cpp
               ${CMAKE_SOURCE_DIR}/dialogs/edit_box_dialog.cpp
               ${CMAKE_SOURCE_DIR}/resources/remblo.rc)
set_source_files_properties(${CMAKE_SOURCE_DIR}/resources/remblo.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/resources/remblo.ico;${CMAKE_SOURCE_DIR}/resources/remblo_res.h")
target_compile_options(remblo PRIVATE -Os -ffunction-sections -fdata-sections)
target_link_options(remblo PRIVATE -s -Wl,--gc-sections)
target_link_libraries(remblo PRIVATE zb_rejoin zb_checksum zb_recovery_lean zb_winui shell32)
install(TARGETS remblo RUNTIME DESTINATION .)
