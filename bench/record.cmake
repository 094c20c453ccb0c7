# Recording a run: the rate through the HID link and in the window, the event
# loop's largest stall while the window records, and the report of a 60 s run.
add_executable(kx_record_probe ${CMAKE_CURRENT_LIST_DIR}/record/RecordProbe.cpp)
target_include_directories(kx_record_probe PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(kx_record_probe PRIVATE kx_ui kxrd4_chart kx_emulator)
