# Mailer core: text rules and reply assembly, then the client against real local servers.
zembra_test(mail_core_test SOURCES unit/mail_core_test.cpp LIBS zb_mailer)
zembra_test(mail_smtp_test SOURCES unit/mail_smtp_test.cpp LIBS zb_mailer)
target_compile_definitions(mail_core_test PRIVATE ZEMBRA_SOURCE_DIR_FALLBACK="${CMAKE_SOURCE_DIR}")
target_compile_definitions(mail_smtp_test PRIVATE ZEMBRA_SOURCE_DIR_FALLBACK="${CMAKE_SOURCE_DIR}")
zembra_test(mail_set_test SOURCES unit/mail_set_test.cpp LIBS zb_mailer_set)
target_compile_definitions(mail_set_test PRIVATE ZEMBRA_SOURCE_DIR_FALLBACK="${CMAKE_SOURCE_DIR}")
