# Tests of the HID link, with the platform's own back end.
add_executable(hid_tests
  hid/HidParsingTests.cpp
  hid/HidControllerTests.cpp
  hid/HidReaderTests.cpp
  hid/DeviceLinkTests.cpp
  hid/DeviceLockTests.cpp
)
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  target_sources(hid_tests PRIVATE hid/LinuxHidrawBackendTests.cpp)
elseif(WIN32)
  target_sources(hid_tests PRIVATE hid/WindowsHidBackendTests.cpp)
endif()
target_include_directories(hid_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/hid)
target_link_libraries(hid_tests PRIVATE kx_device GTest::gtest_main)
gtest_discover_tests(hid_tests)
