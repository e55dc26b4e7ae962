# The dialog templates of the three windowed programs, made under Wine + Xvfb and measured.
if(TARGET zembra AND TARGET remblo AND TARGET korvo)
  zembra_test(dialog_layout_test SOURCES gui/dialog_layout_test.cpp LIBS user32 gdi32 comctl32 LABEL gui)
  add_dependencies(dialog_layout_test zembra remblo korvo)
endif()
