# kxrd4-bench-link: round trips through the tool's HID link against a plain
# hidraw loop on a real (or uhid) KX-RD4. Plain C++, no benchmark library: the
# kernel test builds the round trips without the benchmarks.
if(NOT TARGET kx_link_round_trips)
  add_library(kx_link_round_trips STATIC ${CMAKE_CURRENT_LIST_DIR}/link/LinkRoundTrips.cpp)
  target_include_directories(kx_link_round_trips PUBLIC ${CMAKE_CURRENT_LIST_DIR}/link)
  target_link_libraries(kx_link_round_trips PUBLIC kx_device)
  add_executable(kxrd4-bench-link ${CMAKE_CURRENT_LIST_DIR}/link/BenchLink.cpp)
  target_link_libraries(kxrd4-bench-link PRIVATE kx_link_round_trips)
endif()
