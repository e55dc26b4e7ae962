# remblo: the rejoiner program that heads every first segment. Lean and fully static: it is run
# from wherever a set was received, on a bare Windows.
add_executable(remblo WIN32 remblo_main.cpp)
target_compile_options(remblo PRIVATE -Os)
target_link_options(remblo PRIVATE -s)
target_link_libraries(remblo PRIVATE zb_rejoin)
install(TARGETS remblo RUNTIME DESTINATION .)
