# Wizard: the page loop and what the pages compute without a window.
zembra_test(wizard_model_test SOURCES unit/wizard_model_test.cpp LIBS zb_zembra_model)
zembra_test(wizard_build_test SOURCES unit/wizard_build_test.cpp LIBS zb_zembra_model)
