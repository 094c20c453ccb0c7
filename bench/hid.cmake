# Benchmarks of the hid part; the floor of the hand-over is the protocol
# benchmarks' bare two-thread report loop.
add_executable(hid_bench hid/HidHandOverBench.cpp BareReportLoop.cpp)
target_include_directories(hid_bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(hid_bench PRIVATE kx_device benchmark::benchmark Threads::Threads)
