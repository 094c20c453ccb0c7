# Start-up benchmark: the tool's first frame against a bare window's, both
# started as fresh processes by kx_startup_timer (run by scripts/bench.sh
# under Xvfb).
add_executable(kx_startup_probe startup/StartupProbe.cpp)
target_link_libraries(kx_startup_probe PRIVATE kx_ui)
add_executable(kx_bare_window_probe startup/BareWindowProbe.cpp)
target_link_libraries(kx_bare_window_probe PRIVATE Qt6::Widgets)
add_executable(kx_startup_timer startup/StartupTimer.cpp)
