# kxrd4-bench-link: round trips through the tool's HID link against a plain
# hidraw loop on a real (or uhid) KX-RD4. Plain C++, no benchmark library, so
# the kernel test can build it without the benchmarks.
if(NOT TARGET kxrd4-bench-link)
  add_executable(kxrd4-bench-link ${CMAKE_CURRENT_LIST_DIR}/link/BenchLink.cpp)
  target_link_libraries(kxrd4-bench-link PRIVATE kx_device)
endif()
