# The window in English and the manual: a process of their own, as they load
# the English translation.
add_executable(kx_language_tests
  ${CMAKE_CURRENT_LIST_DIR}/WidgetTestMain.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PolishText.h
  ${CMAKE_CURRENT_LIST_DIR}/LanguageTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ManualTest.cpp
)
target_link_libraries(kx_language_tests PRIVATE kx_ui Qt6::Test GTest::gtest)
gtest_discover_tests(kx_language_tests
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
  DISCOVERY_MODE PRE_TEST)
