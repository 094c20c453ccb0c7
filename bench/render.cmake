# Benchmarks of the editor's texts against their floors.
add_executable(kx_render_bench RenderBench.cpp)
target_link_libraries(kx_render_bench PRIVATE kx_ui kxrd4_chart benchmark::benchmark)
