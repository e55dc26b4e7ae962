# The main program's rooms include downward only (scripts/check-rooms.sh lists any include that
# points up).
add_test(NAME room_layers COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check-rooms.sh ${CMAKE_SOURCE_DIR})
set_tests_properties(room_layers PROPERTIES LABELS unit)
