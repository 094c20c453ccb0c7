# The soak run of the main window against the emulated KX-RD4 (scripts/soak.sh).
add_executable(kx_soak ${CMAKE_CURRENT_LIST_DIR}/soak/SoakRun.cpp)
target_link_libraries(kx_soak PRIVATE kx_ui kxrd4_chart kx_emulator)
