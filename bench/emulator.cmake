# Benchmarks of the controller emulator: emulated time per wall-clock time.
add_executable(emulator_bench ${CMAKE_CURRENT_LIST_DIR}/EmulatorBenchmark.cpp)
target_include_directories(emulator_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests/emulator)
target_link_libraries(emulator_bench PRIVATE kx_emulator benchmark::benchmark)
