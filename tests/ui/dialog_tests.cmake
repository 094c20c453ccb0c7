# Widget tests of the dialog part. The tested sources are compiled into the
# test itself, so it does not wait for the rest of the window to build.
set(KX_DIALOG_TESTED
  ${PROJECT_SOURCE_DIR}/src/ui/TFProg.h
  ${PROJECT_SOURCE_DIR}/src/ui/TFProg.cpp
  ${PROJECT_SOURCE_DIR}/src/ui/FileCommandsHost.h
  ${PROJECT_SOURCE_DIR}/src/ui/FileCommands.h
  ${PROJECT_SOURCE_DIR}/src/ui/FileCommands.cpp
  ${PROJECT_SOURCE_DIR}/src/ui/WindowSettings.h
  ${PROJECT_SOURCE_DIR}/src/ui/WindowSettings.cpp
)
add_executable(kx_dialog_tests
  ${CMAKE_CURRENT_LIST_DIR}/DialogTestMain.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DialogFakes.h
  ${CMAKE_CURRENT_LIST_DIR}/TFProgTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileCommandsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WindowSettingsTest.cpp
  ${KX_DIALOG_TESTED}
)
target_include_directories(kx_dialog_tests PRIVATE ${PROJECT_SOURCE_DIR}/src/ui)
target_link_libraries(kx_dialog_tests PRIVATE kx_model kx_files Qt6::Widgets GTest::gtest)
gtest_discover_tests(kx_dialog_tests
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
  DISCOVERY_MODE PRE_TEST)
