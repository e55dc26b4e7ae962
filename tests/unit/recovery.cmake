# Recovery volumes: the portable core, natively.
if(TARGET zb_recovery)
  zembra_test(recovery_test SOURCES unit/recovery_test.cpp LIBS zb_recovery)
endif()
