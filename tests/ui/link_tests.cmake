# Widget tests of the device link glue.
add_executable(kx_link_tests
  ${CMAKE_CURRENT_LIST_DIR}/WidgetTestMain.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DeviceLinkViewTest.cpp
)
target_link_libraries(kx_link_tests PRIVATE kx_ui kxrd4_chart Qt6::Test GTest::gtest)
gtest_discover_tests(kx_link_tests
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
  DISCOVERY_MODE PRE_TEST)
