# Benchmark of one controller reply handled, against a bare switch.
add_executable(kx_dispatch_bench DispatchBench.cpp)
target_link_libraries(kx_dispatch_bench PRIVATE kx_device benchmark::benchmark)
