# remblo: the rejoiner program that heads every first segment. Lean and fully static: it is run
# from wherever a set was received, on a bare Windows, and its size is the smallest segment.
#
# Every library it needs is compiled a second time for it alone, for size: each function in its
# own section so the linker keeps only what is reached; no unwind tables, which on this target
# keep every function of their file alive; no exceptions (nothing in remblo catches one, so a
# throw ends it either way: see remblo_runtime.cpp) and no thread-safe statics (remblo runs one
# thread). Not -fdata-sections: this compiler then puts zero-filled data among the initialised,
# and the CRC tables alone would add 8 KB. The other programs keep their usual builds.
# (A global property: the copies are made from the top folder's scope.)
set_property(GLOBAL PROPERTY zb_remblo_flags -Os -ffunction-sections -fno-exceptions -fno-asynchronous-unwind-tables
    -fno-unwind-tables -fno-threadsafe-statics)

add_executable(remblo WIN32 remblo_main.cpp remblo_runtime.cpp rejoin_dialog.cpp file_exists_dialog.cpp repair_indicator.cpp
               ${CMAKE_SOURCE_DIR}/dialogs/edit_box_dialog.cpp
               ${CMAKE_SOURCE_DIR}/resources/remblo.rc)
set_source_files_properties(${CMAKE_SOURCE_DIR}/resources/remblo.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/resources/remblo.ico;${CMAKE_SOURCE_DIR}/resources/remblo_res.h")
get_property(zb_remblo_flags GLOBAL PROPERTY zb_remblo_flags)
target_compile_options(remblo PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${zb_remblo_flags}>)
target_link_options(remblo PRIVATE -s -Wl,--gc-sections)
target_link_libraries(remblo PRIVATE zb_rejoin_remblo zb_checksum_remblo zb_recovery_remblo zb_winui_remblo
                      zb_platform_remblo shell32)
install(TARGETS remblo RUNTIME DESTINATION .)

# remblo's copy of a library: its sources (less those named in ARGN) with remblo's flags.
# Made once the whole tree is read, since some of the libraries are defined after this folder.
function(zb_remblo_copy lib)
  get_target_property(sources ${lib} SOURCES)
  get_target_property(dir ${lib} SOURCE_DIR)
  set(files)
  foreach(s IN LISTS sources)
    get_filename_component(name ${s} NAME)
    if(NOT name IN_LIST ARGN)
      get_filename_component(path ${s} ABSOLUTE BASE_DIR ${dir})
      list(APPEND files ${path})
    endif()
  endforeach()
  add_library(${lib}_remblo STATIC ${files})
  get_property(zb_remblo_flags GLOBAL PROPERTY zb_remblo_flags)
  target_compile_options(${lib}_remblo PRIVATE ${zb_remblo_flags})
  # Its own libraries become their remblo copies; one it does not need for remblo is left out.
  get_target_property(uses ${lib} INTERFACE_LINK_LIBRARIES)
  get_property(zb_remblo_copies GLOBAL PROPERTY zb_remblo_copies)
  foreach(use IN LISTS uses)
    if(use IN_LIST zb_remblo_copies)
      target_link_libraries(${lib}_remblo PUBLIC ${use}_remblo)
    elseif(NOT use MATCHES "^zb_")
      target_link_libraries(${lib}_remblo PUBLIC ${use})
    endif()
  endforeach()
endfunction()
set_property(GLOBAL PROPERTY zb_remblo_copies zb_platform zb_winui zb_rejoin zb_checksum zb_recovery)
function(zb_remblo_libraries)
  zb_remblo_copy(zb_platform)
  zb_remblo_copy(zb_winui)
  zb_remblo_copy(zb_rejoin)
  # Writing checksum files is for the programs that make sets.
  zb_remblo_copy(zb_checksum set_checksums_write.cpp)
  # One core: threads would bring their runtime into the rejoiner for a repair that is rare.
  zb_remblo_copy(zb_recovery)
  target_compile_definitions(zb_recovery_remblo PRIVATE ZB_RECOVERY_ONE_THREAD)
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL zb_remblo_libraries)
