# Mailer core under Wine (the Winsock backend). The korvo_mail fixture starts real SMTP
# servers on 127.0.0.1 as host processes before the tests that need them and stops them after.
set(korvo_mail_dir ${CMAKE_BINARY_DIR}/korvo_mail)
add_test(NAME korvo_mail_start COMMAND sh ${CMAKE_SOURCE_DIR}/tests/mail/servers.sh start ${korvo_mail_dir})
add_test(NAME korvo_mail_stop COMMAND sh ${CMAKE_SOURCE_DIR}/tests/mail/servers.sh stop ${korvo_mail_dir})
set_tests_properties(korvo_mail_start PROPERTIES FIXTURES_SETUP korvo_mail LABELS win)
set_tests_properties(korvo_mail_stop PROPERTIES FIXTURES_CLEANUP korvo_mail LABELS win)

zembra_test(mail_win_test SOURCES win/mail_win_test.cpp LIBS zb_mailer LABEL win)
set_tests_properties(mail_win_test PROPERTIES FIXTURES_REQUIRED korvo_mail)
