# GoogleTest is built from Debian's sources with this build's own compiler, so that the same
# framework runs natively (with sanitizers) and under Wine.
set(RUV_GOOGLETEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${RUV_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# Test sources are optimised less than the code they test (-O1 where the build says -O2): they
# compile in less time and run as fast under Wine, where the time goes to messages.
set(RUV_TEST_COMPILE_OPTIONS)
if(CMAKE_BUILD_TYPE STREQUAL "RelWithDebInfo")
  set(RUV_TEST_COMPILE_OPTIONS -O1)
endif()

# ruv_add_test(NAME SOURCES... LIBRARIES ...): one GoogleTest program, one ctest entry.
# Under a cross build ctest runs it through CMAKE_CROSSCOMPILING_EMULATOR (Wine).
function(ruv_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} GTest::gtest_main ruv_warnings)
  target_compile_options(${name} PRIVATE ${RUV_TEST_COMPILE_OPTIONS})
  add_test(NAME ${RUV_TEST_PREFIX}.${name} COMMAND ${name} --gtest_color=no)
  # Every program ends in seconds; a crash under Wine waits in its debugger instead of exiting,
  # so a program that runs this long has failed.
  set_tests_properties(${RUV_TEST_PREFIX}.${name} PROPERTIES TIMEOUT 300)
  if(WIN32)
    # Windows tests share one display, its cursor and its focus: one at a time.
    set_tests_properties(${RUV_TEST_PREFIX}.${name} PROPERTIES RESOURCE_LOCK wine_display)
  endif()
endfunction()
