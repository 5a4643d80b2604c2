# Test programs run under Wine on Linux. The CTest fixtures below start a
# virtual display and a fresh Wine prefix for each test run; every test
# requires them, and they are torn down after the last test.

include(GoogleTest)

set(ZARV_WINE_STATE ${CMAKE_BINARY_DIR}/wine-session)
set(ZARV_TEST_SESSION ${PROJECT_SOURCE_DIR}/tools/test-session)

if(CMAKE_CROSSCOMPILING)
  add_test(NAME session.xvfb.start COMMAND ${ZARV_TEST_SESSION} xvfb-start ${ZARV_WINE_STATE})
  add_test(NAME session.xvfb.stop COMMAND ${ZARV_TEST_SESSION} xvfb-stop ${ZARV_WINE_STATE})
  set_tests_properties(session.xvfb.start PROPERTIES FIXTURES_SETUP xvfb)
  set_tests_properties(session.xvfb.stop PROPERTIES FIXTURES_CLEANUP xvfb)
endif()

# zarv_wine_session(<name> <fixture> <state> [<dpi>])
# A Wine prefix of its own for the tests that require <fixture>, started as
# session.<name>.start and stopped as session.<name>.stop; with a DPI, its
# display has that DPI from the start. The prefix is booted with the display in
# place: Wine keeps the display driver it started with.
function(zarv_wine_session name fixture state)
  if(NOT CMAKE_CROSSCOMPILING)
    return()
  endif()
  add_test(NAME session.${name}.start COMMAND ${ZARV_TEST_SESSION} prefix-start ${state} ${ARGN})
  add_test(NAME session.${name}.stop COMMAND ${ZARV_TEST_SESSION} prefix-stop ${state})
  set_tests_properties(session.${name}.start PROPERTIES FIXTURES_SETUP ${fixture} FIXTURES_REQUIRED xvfb
                                                        TIMEOUT 300)
  set_tests_properties(session.${name}.stop PROPERTIES FIXTURES_CLEANUP ${fixture} FIXTURES_REQUIRED xvfb)
endfunction()
zarv_wine_session(prefix wine ${ZARV_WINE_STATE})

# zarv_add_wine_tests(<target> [DPI <dpi>] [RESOURCE_LOCK <names...>])
# Registers every GoogleTest case of <target> with CTest, run under Wine in the
# test session, or with a DPI in a session of their own whose display has that
# DPI. Tests of programs that share a lock never run at the same time.
# Programs that walk or change the list of filter categories, or depend on the
# contents of the vendor categories (the same for every test), share the lock
# `filter_categories`: the device enumerator walks the category list by index,
# so a category deleted by one test during another's walk can hide an entry
# from that walk. Programs that show windows share the lock `display`: the
# virtual display has one foreground window and one keyboard focus, which a
# window shown by another program takes away.
function(zarv_add_wine_tests target)
  cmake_parse_arguments(ARG "" "DPI" "RESOURCE_LOCK" ${ARGN})
  set(state ${ZARV_WINE_STATE})
  set(fixture wine)
  if(ARG_DPI)
    set(state ${ZARV_WINE_STATE}/dpi-${ARG_DPI})
    set(fixture wine-${ARG_DPI})
    get_property(started GLOBAL PROPERTY ZARV_WINE_SESSION_${ARG_DPI})
    if(NOT started)
      zarv_wine_session(prefix-${ARG_DPI} ${fixture} ${state} ${ARG_DPI})
      set_property(GLOBAL PROPERTY ZARV_WINE_SESSION_${ARG_DPI} TRUE)
    endif()
  endif()
  set(properties FIXTURES_REQUIRED ${fixture} ENVIRONMENT ZARV_WINE_SESSION=1 TIMEOUT 120)
  if(CMAKE_CROSSCOMPILING)
    set_property(TARGET ${target} PROPERTY CROSSCOMPILING_EMULATOR
                 ${PROJECT_SOURCE_DIR}/tools/wine-run ${state})
  endif()
  gtest_discover_tests(${target}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    TEST_PREFIX "${target}."
    PROPERTIES ${properties})
  # The discovery passes its properties on as a flat list, which splits a list
  # of locks: the locks are set by a script of their own, read after the one
  # that defines the tests and names them in <target>_TESTS.
  if(ARG_RESOURCE_LOCK)
    set(locks_script ${CMAKE_CURRENT_BINARY_DIR}/${target}_locks.cmake)
    file(WRITE ${locks_script}
         "if(${target}_TESTS)\n"
         "  set_tests_properties(\${${target}_TESTS} PROPERTIES RESOURCE_LOCK \"${ARG_RESOURCE_LOCK}\")\n"
         "endif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${locks_script})
  endif()
endfunction()
