# Tests of the message protocol.
add_executable(protocol_tests
  ControllerMessagesTests.cpp
  DeviceReportProcessorTests.cpp
  ReplyTimeoutTests.cpp
  MotionRecorderTests.cpp
)
target_include_directories(protocol_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(protocol_tests PRIVATE kx_device GTest::gtest_main)
gtest_discover_tests(protocol_tests)

# Program transfers through the HID link with a scripted controller.
add_executable(protocol_e2e_tests
  ProgramTransferEndToEndTests.cpp
)
target_include_directories(protocol_e2e_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(protocol_e2e_tests PRIVATE kx_device GTest::gtest_main)
gtest_discover_tests(protocol_e2e_tests PROPERTIES TIMEOUT 60)

# Plug and unplug cycles under polling and transfers (TSan in the test run).
add_executable(link_stress_tests
  LinkStressTests.cpp
)
target_include_directories(link_stress_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(link_stress_tests PRIVATE kx_emulator GTest::gtest_main)
gtest_discover_tests(link_stress_tests PROPERTIES TIMEOUT 600)
