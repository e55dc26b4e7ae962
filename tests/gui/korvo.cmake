# korvo end to end under Wine + Xvfb. The korvo_mail fixture starts real SMTP servers on
# 127.0.0.1 (host processes) before the test and stops them after it.
set(korvo_mail_dir ${CMAKE_BINARY_DIR}/korvo_mail)
add_test(NAME korvo_mail_start COMMAND sh ${CMAKE_SOURCE_DIR}/tests/mail/servers.sh start ${korvo_mail_dir})
add_test(NAME korvo_mail_stop COMMAND sh ${CMAKE_SOURCE_DIR}/tests/mail/servers.sh stop ${korvo_mail_dir})
set_tests_properties(korvo_mail_start PROPERTIES FIXTURES_SETUP korvo_mail LABELS gui)
set_tests_properties(korvo_mail_stop PROPERTIES FIXTURES_CLEANUP korvo_mail LABELS gui)

zembra_test(korvo_gui_test SOURCES gui/korvo_gui_test.cpp
            LIBS zb_engine zb_gui_driver zb_platform LABEL gui)
add_dependencies(korvo_gui_test korvo)
set_tests_properties(korvo_gui_test PROPERTIES FIXTURES_REQUIRED korvo_mail)
