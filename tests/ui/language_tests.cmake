# The window in English and the manual: a process of their own, as they load
# the English translation.
add_executable(kx_language_tests
  ${CMAKE_CURRENT_LIST_DIR}/WidgetTestMain.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PolishText.h
  ${CMAKE_CURRENT_LIST_DIR}/LanguageTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ManualTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LanguageControlTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ScreenshotHookTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LanguageProgramsTest.cpp
)
target_link_libraries(kx_language_tests PRIVATE kx_ui kxrd4_chart Qt6::Test GTest::gtest)
gtest_discover_tests(kx_language_tests
  TEST_FILTER "-SystemLanguage.*" # run below, once under each locale
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
  DISCOVERY_MODE PRE_TEST)
# The system's language: the same program started under each locale.
foreach(case "en_US.UTF-8=en" "de_DE.UTF-8=en" "pl_PL.UTF-8=pl" "C=pl" "POSIX=pl")
  string(REPLACE "=" ";" parts ${case})
  list(GET parts 0 locale)
  list(GET parts 1 expected)
  add_test(NAME SystemLanguage.${locale}
    COMMAND kx_language_tests --gtest_filter=SystemLanguage.FollowsTheEnvironmentUnlessChosen)
  set_tests_properties(SystemLanguage.${locale} PROPERTIES ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen;LANG=${locale};LC_ALL=;LC_MESSAGES=;LANGUAGE=;KXRD4_EXPECTED_LANGUAGE=${expected}")
endforeach()
target_sources(kx_language_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/LanguageFaultTest.cpp)
