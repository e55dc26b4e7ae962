# Main form view: status text and the chosen sources' bookkeeping (window-free models).
zembra_test(view_model_test SOURCES unit/view_model_test.cpp LIBS zb_zembra_model zb_platform)
