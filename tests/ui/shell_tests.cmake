# Widget tests of the shell part: the main window, the editor page and the
# general error display.
add_executable(kx_shell_tests
  ${CMAKE_CURRENT_LIST_DIR}/WidgetTestMain.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ShellFakes.h
  ${CMAKE_CURRENT_LIST_DIR}/MainWindowTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EditorPageTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProgramEditingTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ErrorDisplayTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommandWiringTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QtMessageBoxesTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WindowControllerTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StartupOrderTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StartupLookTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SessionEndTest.cpp
)
if(NOT WIN32) # the test makes processes that no longer run with fork
  target_sources(kx_shell_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/EditRecoveryTest.cpp)
endif()
target_link_libraries(kx_shell_tests PRIVATE kx_ui kxrd4_chart Qt6::Test GTest::gtest)
gtest_discover_tests(kx_shell_tests
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
  DISCOVERY_MODE PRE_TEST)
