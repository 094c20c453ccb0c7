# Tests in a real kernel under QEMU.
# kxrd4_kernel_tests runs inside a Debian kernel booted by scripts/kernel-e2e.sh,
# which CTest runs as the test kernel_e2e. The guest has /dev/uhid, so the tests
# make virtual HID devices and drive the device link over real hidraw nodes;
# kxrd4-sim and kxrd4-cli go into the guest as well, for the tests that start them.
# Software emulation is slow; under the sanitizer presets (and off Linux) the
# test is left out.
option(KXRD4_WITH_KERNEL_TEST "Build and register the kernel end-to-end test" ON)
if(CMAKE_CXX_FLAGS MATCHES "-fsanitize" OR NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
  set(KXRD4_WITH_KERNEL_TEST OFF)
endif()

if(KXRD4_WITH_KERNEL_TEST)
  add_executable(kxrd4_kernel_tests
    kernel/KernelSmokeTest.cpp
    kernel/KernelLinkTest.cpp
    kernel/KernelSimulatorTest.cpp
    kernel/KernelCliTest.cpp
    kernel/KernelLinkBenchTest.cpp
  )
  # The link's round trips, shared with kxrd4-bench-link.
  include(${PROJECT_SOURCE_DIR}/bench/link.cmake)
  target_include_directories(kxrd4_kernel_tests PRIVATE
    ${CMAKE_CURRENT_SOURCE_DIR}/kernel ${CMAKE_CURRENT_SOURCE_DIR})
  add_dependencies(kxrd4_kernel_tests kxrd4-sim kxrd4-cli kxrd4)
  target_link_libraries(kxrd4_kernel_tests PRIVATE
    kx_device kx_uhid kx_link_round_trips GTest::gtest GTest::gtest_main PkgConfig::UDEV Threads::Threads)

  add_test(NAME kernel_e2e
    COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/kernel-e2e.sh
            --build-dir ${CMAKE_BINARY_DIR}
            --test-binary $<TARGET_FILE:kxrd4_kernel_tests>
            --sim $<TARGET_FILE:kxrd4-sim>
            --cli $<TARGET_FILE:kxrd4-cli>
            --library $<TARGET_FILE:kxrd4>
            --timeout 330)
  set_tests_properties(kernel_e2e PROPERTIES LABELS kernel TIMEOUT 420 RUN_SERIAL TRUE)
endif()
