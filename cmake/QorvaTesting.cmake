# GoogleTest for both builds, and the helpers that register tests.

if(QORVA_WINDOWS)
  # Debian ships GoogleTest as sources too; the cross build compiles them with mingw-w64.
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      "${CMAKE_SOURCE_DIR}/tools/wine_run.sh;${CMAKE_BINARY_DIR}/wineprefix")
else()
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

set(QORVA_FIXTURES_DIR "${CMAKE_SOURCE_DIR}/tests/fixtures")

# A Windows test program runs whole under wine: starting wine per test case would cost seconds each.
function(qorva_windows_test name target)
  add_test(NAME ${name} COMMAND ${target} --gtest_color=no)
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
endfunction()

# One GoogleTest program per source natively (fast to rebuild, failures isolated); one bundle per
# group for Windows, where every program start costs a wine start-up.
function(qorva_test_group group)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  if(QORVA_WINDOWS)
    add_executable(${group}_tests ${ARG_SOURCES})
    target_link_libraries(${group}_tests PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main)
    target_compile_definitions(${group}_tests PRIVATE QORVA_FIXTURES_DIR="${QORVA_FIXTURES_DIR}")
    qorva_windows_test(${group}_tests ${group}_tests)
  else()
    foreach(src ${ARG_SOURCES})
      get_filename_component(name ${src} NAME_WE)
      add_executable(${name} ${src})
      target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main)
      target_compile_definitions(${name} PRIVATE QORVA_FIXTURES_DIR="${QORVA_FIXTURES_DIR}")
      gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES)
    endforeach()
  endif()
endfunction()
