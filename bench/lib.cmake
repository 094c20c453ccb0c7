# Benchmarks of libkxrd4 and restore --all (bench/lib).
add_executable(kx_lib_bench ${CMAKE_CURRENT_LIST_DIR}/lib/LibraryBenchmark.cpp)
target_link_libraries(kx_lib_bench PRIVATE kxrd4 kx_cli kx_emulator benchmark::benchmark)
