# Shell extension tests: a host that loads the built varlo.dll and drives its COM object, and a
# stand-in main program that records the command line it is started with.
add_executable(varlo_fake_zembra win/varlo_fake_zembra.cpp)
zembra_test(varlo_test SOURCES win/varlo_menu_test.cpp win/varlo_launch_test.cpp win/varlo_fixture.cpp
  win/varlo_test_support.cpp
  LIBS ole32 oleaut32 uuid shell32 comctl32 user32 advapi32 LABEL win)
target_include_directories(varlo_test PRIVATE ${CMAKE_SOURCE_DIR}/tests/win)
add_dependencies(varlo_test varlo varlo_fake_zembra)
