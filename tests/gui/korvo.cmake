# korvo end to end under Wine + Xvfb, against the korvo_mail servers (tests/win/mail.cmake).

zembra_test(korvo_gui_test SOURCES gui/korvo_gui_test.cpp
            LIBS zb_engine zb_gui_driver zb_platform LABEL gui)
add_dependencies(korvo_gui_test korvo)
set_tests_properties(korvo_gui_test PROPERTIES FIXTURES_REQUIRED korvo_mail)

# The benchmark table's mail row drives korvo with this (bench/table.sh).
add_executable(korvo_send_driver gui/korvo_send_driver.cpp)
target_link_libraries(korvo_send_driver PRIVATE zb_gui_driver)
# and its Begin Split row this: the split engine with and without its progress window.
add_executable(split_window_driver gui/split_window_driver.cpp)
target_link_libraries(split_window_driver PRIVATE zb_engine zb_progress zb_winui zb_platform)
