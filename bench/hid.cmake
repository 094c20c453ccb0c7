# Benchmarks of the hid part.
add_executable(hid_bench hid/HidHandOverBench.cpp)
target_link_libraries(hid_bench PRIVATE kx_device benchmark::benchmark)
