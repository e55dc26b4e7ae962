# Project commands' window-free rules: New's numbering, Save As trimming, the listing read back
# as a project, and the printed page layout.
zembra_test(project_model_test SOURCES unit/project_model_test.cpp LIBS zb_zembra_model)
