# zembra's project commands end to end under Wine + Xvfb: a set built by the engine (with this
# build's remblo) opened through the dialog and the recent-file list, Review Results, Rejoin,
# a project whose source is gone, and Print through the system dialog to the tests' CUPS-PDF
# printer (the server and the PDF check are registered in tests/win/project.cmake).
if(TARGET zembra AND TARGET zb_gui_driver AND TARGET zb_engine)
  zembra_test(zembra_project_gui_test SOURCES gui/zembra_project_gui_test.cpp
              LIBS zb_engine zb_platform zb_gui_driver LABEL gui)
  zembra_embed_rejoiner(zembra_project_gui_test)
  add_dependencies(zembra_project_gui_test zembra remblo)
  set_property(TEST zembra_project_gui_test APPEND PROPERTY ENVIRONMENT
    "CUPS_SERVER=${CMAKE_BINARY_DIR}/cups/cups.sock;ZEMBRA_PRINT_CHECK=${CMAKE_BINARY_DIR}/cups")
  set_tests_properties(zembra_project_gui_test PROPERTIES FIXTURES_REQUIRED zb_cups RESOURCE_LOCK zb_printer)
  add_test(NAME zembra_project_pdf_check COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/win/project_pdf_check.py
    ${CMAKE_BINARY_DIR}/cups ${CMAKE_BINARY_DIR}/cups/printed_project.txt 2)
  set_tests_properties(zembra_project_pdf_check PROPERTIES FIXTURES_REQUIRED zb_cups
    DEPENDS zembra_project_gui_test RESOURCE_LOCK zb_printer LABELS gui)
endif()
