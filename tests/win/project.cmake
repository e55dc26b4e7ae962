# The tests' CUPS server with its PDF printer (Debian's cups and printer-driver-cups-pdf, from
# scripts/setup.sh), for the print job that zembra_project_gui_test sends. build/cups links to
# the run's own folder under /tmp (spool, socket, PDFs), which the stop removes.
set(zb_cups ${CMAKE_BINARY_DIR}/cups)
add_test(NAME project_cups_start COMMAND bash ${CMAKE_SOURCE_DIR}/tests/win/project_cups.sh start ${zb_cups})
add_test(NAME project_cups_stop COMMAND bash ${CMAKE_SOURCE_DIR}/tests/win/project_cups.sh stop ${zb_cups})
set_tests_properties(project_cups_start PROPERTIES FIXTURES_SETUP zb_cups LABELS win)
set_tests_properties(project_cups_stop PROPERTIES FIXTURES_CLEANUP zb_cups LABELS win)
