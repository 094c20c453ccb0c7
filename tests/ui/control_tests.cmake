# Widget tests of the control part. The tested sources are compiled into the
# test itself, so it does not wait for the rest of the window to build.
set(KX_CONTROL_TESTED
  ${PROJECT_SOURCE_DIR}/src/ui/IntegerText.h
  ${PROJECT_SOURCE_DIR}/src/ui/IntegerText.cpp
  ${PROJECT_SOURCE_DIR}/src/ui/NumberField.h
  ${PROJECT_SOURCE_DIR}/src/ui/NumberField.cpp
  ${PROJECT_SOURCE_DIR}/src/ui/LiveChart.h
  ${PROJECT_SOURCE_DIR}/src/ui/LiveChart.cpp
  ${PROJECT_SOURCE_DIR}/src/ui/NarrowComboStyle.h
  ${PROJECT_SOURCE_DIR}/src/ui/NarrowComboStyle.cpp
  ${PROJECT_SOURCE_DIR}/src/ui/ControlPage.h
  ${PROJECT_SOURCE_DIR}/src/ui/ControlPage.cpp
  ${PROJECT_SOURCE_DIR}/src/ui/ConfigPanel.h
  ${PROJECT_SOURCE_DIR}/src/ui/ConfigPanel.cpp
)
add_executable(kx_control_tests
  ${CMAKE_CURRENT_LIST_DIR}/ControlTestMain.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ControlFakes.h
  ${CMAKE_CURRENT_LIST_DIR}/IntegerTextTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ControlPageTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ConfigPanelTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LiveChartTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ControlRepliesTest.cpp
  ${KX_CONTROL_TESTED}
)
target_include_directories(kx_control_tests PRIVATE ${PROJECT_SOURCE_DIR}/src/ui)
target_link_libraries(kx_control_tests PRIVATE kx_device Qt6::Widgets Qt6::Test
  QCustomPlotQt6::QCustomPlotQt6 GTest::gtest)
gtest_discover_tests(kx_control_tests
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
  DISCOVERY_MODE PRE_TEST)
