# Start-up benchmark: the tool's first frame against a bare window's, both
# started as fresh processes by kx_startup_timer (run by scripts/bench.sh
# under Xvfb). The probe ends at the first frame, before the window loads its
# chart library, so it needs none beside it.
add_executable(kx_startup_probe startup/StartupProbe.cpp)
target_link_libraries(kx_startup_probe PRIVATE Qt6::Widgets Qt6::Gui Qt6::Core kx_ui) # in kxrd4-pc's order
add_executable(kx_bare_window_probe startup/BareWindowProbe.cpp)
target_link_libraries(kx_bare_window_probe PRIVATE Qt6::Widgets)
add_executable(kx_startup_timer startup/StartupTimer.cpp)
