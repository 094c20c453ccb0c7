# Benchmarks of the protocol part.
add_executable(protocol_bench
  BareReportLoop.cpp
  ProtocolBenchmark.cpp
)
# The scripted controller peer is shared with the end-to-end test.
target_include_directories(protocol_bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}
                                                  ${CMAKE_SOURCE_DIR}/tests/device)
target_link_libraries(protocol_bench PRIVATE kx_device benchmark::benchmark Threads::Threads)
