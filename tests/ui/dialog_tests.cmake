# Widget tests of the dialog part.
add_executable(kx_dialog_tests
  ${CMAKE_CURRENT_LIST_DIR}/WidgetTestMain.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DialogFakes.h
  ${CMAKE_CURRENT_LIST_DIR}/TFProgTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileCommandsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WindowSettingsTest.cpp
)
target_link_libraries(kx_dialog_tests PRIVATE kx_ui kxrd4_chart Qt6::Test GTest::gtest)
gtest_discover_tests(kx_dialog_tests
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
  DISCOVERY_MODE PRE_TEST)
