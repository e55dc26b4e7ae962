# Project commands' window-free rules: New's numbering, Save As trimming, the listing read back
# as a project, and the printed page layout.
zembra_test(project_model_test SOURCES unit/project_model_test.cpp LIBS zb_zembra_model)
# Not a test: bench/listing.sh runs it to measure what opening a large project costs.
add_executable(listing_load_bench ${CMAKE_SOURCE_DIR}/bench/listing_load.cpp)
target_link_libraries(listing_load_bench PRIVATE zb_zembra_model)
