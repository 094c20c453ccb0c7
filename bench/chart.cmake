# Benchmarks of the chart part: the cost of one sample with a short and a long
# history, and the memory of a shift-long run.
add_executable(kx_chart_bench
  ${CMAKE_CURRENT_LIST_DIR}/ChartBench.cpp
  ${PROJECT_SOURCE_DIR}/src/ui/LiveChart.h
  ${PROJECT_SOURCE_DIR}/src/ui/LiveChart.cpp
)
target_include_directories(kx_chart_bench PRIVATE ${PROJECT_SOURCE_DIR}/src/ui)
target_link_libraries(kx_chart_bench PRIVATE Qt6::Widgets QCustomPlotQt6::QCustomPlotQt6
  benchmark::benchmark)
