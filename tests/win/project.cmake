# Printing of the contents listing under Wine: drawing on a memory device context and, with the
# tests' own CUPS server and its PDF printer, a real job whose PDF is read back as text.
zembra_test(project_print_win_test
            SOURCES win/project_print_win_test.cpp ${CMAKE_SOURCE_DIR}/app/contents_printer.cpp
            LIBS zb_zembra_model zb_platform gdi32 comdlg32 winspool LABEL win)

# The tests' CUPS server (Debian's cups and printer-driver-cups-pdf, from scripts/setup.sh).
set(zb_cups ${CMAKE_BINARY_DIR}/cups)
add_test(NAME project_cups_start COMMAND bash ${CMAKE_SOURCE_DIR}/tests/win/project_cups.sh start ${zb_cups})
add_test(NAME project_cups_stop COMMAND bash ${CMAKE_SOURCE_DIR}/tests/win/project_cups.sh stop ${zb_cups})
set_tests_properties(project_cups_start PROPERTIES FIXTURES_SETUP zb_cups LABELS win)
set_tests_properties(project_cups_stop PROPERTIES FIXTURES_CLEANUP zb_cups LABELS win)
set_property(TEST project_print_win_test APPEND PROPERTY ENVIRONMENT
  "CUPS_SERVER=${zb_cups}/cups.sock;ZEMBRA_PRINT_CHECK=${zb_cups}")
set_tests_properties(project_print_win_test PROPERTIES FIXTURES_REQUIRED zb_cups RESOURCE_LOCK zb_printer)
add_test(NAME project_print_pdf_check COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/win/project_pdf_check.py
  ${zb_cups} ${zb_cups}/printed_listing.txt 2)
set_tests_properties(project_print_pdf_check PROPERTIES FIXTURES_REQUIRED zb_cups
  DEPENDS project_print_win_test RESOURCE_LOCK zb_printer LABELS win)
