# Benchmarks of the protocol part.
add_executable(protocol_bench
  BareReportLoop.cpp
  ProtocolBenchmark.cpp
)
target_include_directories(protocol_bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(protocol_bench PRIVATE kx_device benchmark::benchmark Threads::Threads)
