# Widget tests of the control part.
add_executable(kx_control_tests
  ${CMAKE_CURRENT_LIST_DIR}/WidgetTestMain.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ControlFakes.h
  ${CMAKE_CURRENT_LIST_DIR}/ControlPageTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ConfigPanelTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LiveChartTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ControlRepliesTest.cpp
)
target_link_libraries(kx_control_tests PRIVATE kx_ui kxrd4_chart Qt6::Test GTest::gtest)
gtest_discover_tests(kx_control_tests
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
  DISCOVERY_MODE PRE_TEST)
