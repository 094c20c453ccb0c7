# The recovery of unsaved edits end to end: the window runs in child processes
# (recovery_child) that are killed, crash and start again.
if(NOT WIN32)
  add_executable(recovery_child ${CMAKE_CURRENT_LIST_DIR}/RecoveryChild.cpp)
  target_link_libraries(recovery_child PRIVATE kx_ui kxrd4_chart)
  add_executable(kx_recovery_tests ${CMAKE_CURRENT_LIST_DIR}/RecoveryEndToEndTest.cpp)
  target_compile_definitions(kx_recovery_tests PRIVATE
    KX_RECOVERY_CHILD_PATH="$<TARGET_FILE:recovery_child>")
  add_dependencies(kx_recovery_tests recovery_child)
  target_link_libraries(kx_recovery_tests PRIVATE GTest::gtest GTest::gtest_main)
  gtest_discover_tests(kx_recovery_tests)
endif()
