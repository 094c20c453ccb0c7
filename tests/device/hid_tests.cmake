# Tests of the HID link.
add_executable(hid_tests
  hid/HidParsingTests.cpp
  hid/HidControllerTests.cpp
  hid/HidReaderTests.cpp
  hid/DeviceLinkTests.cpp
  hid/LinuxHidrawBackendTests.cpp
)
target_include_directories(hid_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/hid)
target_link_libraries(hid_tests PRIVATE kx_device GTest::gtest_main)
gtest_discover_tests(hid_tests)
