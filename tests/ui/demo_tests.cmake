# The whole window in demo mode against the emulated controller.
add_executable(kx_demo_tests
  ${CMAKE_CURRENT_LIST_DIR}/WidgetTestMain.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DemoModeTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TransferTimeoutTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ControllerBackupTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MotionGuardTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RunRecordingTest.cpp
)
target_link_libraries(kx_demo_tests PRIVATE kx_ui kxrd4_chart kx_emulator Qt6::Test GTest::gtest)
target_include_directories(kx_demo_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/report)
gtest_discover_tests(kx_demo_tests
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
  DISCOVERY_MODE PRE_TEST)
