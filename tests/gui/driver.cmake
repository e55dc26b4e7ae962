# The GUI driver library that end-to-end tests link (zb_gui_driver).
add_library(zb_gui_driver STATIC gui/driver/gui_driver.cpp)
target_include_directories(zb_gui_driver PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(zb_gui_driver PUBLIC user32)
