# GoogleTest for a cross build, compiled from the sources Debian's googletest
# package ships. The test programs run through CMAKE_CROSSCOMPILING_EMULATOR
# (Wine): one CTest test per program, since discovering the cases would run
# every program at build time.
set(KXRD4_GOOGLETEST_SOURCE_DIR /usr/src/googletest
    CACHE PATH "GoogleTest sources for cross builds (Debian package googletest)")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
add_subdirectory(${KXRD4_GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(target gtest gtest_main gmock gmock_main)
  # GoogleTest's own warnings are not ours to fix.
  target_compile_options(${target} PRIVATE -w)
endforeach()
include(GoogleTest)

function(gtest_discover_tests target)
  # (PARSE_ARGV keeps a property's list, ENVIRONMENT "A=1;B=2", whole.)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "" "PROPERTIES")
  add_test(NAME ${target} COMMAND ${target} --gtest_brief=1)
  set_tests_properties(${target} PROPERTIES TIMEOUT 300 ${ARG_PROPERTIES})
endfunction()
