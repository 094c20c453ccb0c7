# Benchmarks of the chart part: the cost of one sample with a short and a long
# history, and the memory of a shift-long run.
add_executable(kx_chart_bench ${CMAKE_CURRENT_LIST_DIR}/ChartBench.cpp)
target_link_libraries(kx_chart_bench PRIVATE kxrd4_chart benchmark::benchmark)
