# Sources of the Qt glue of the device link.
target_sources(kx_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/DeviceLinkView.h
  ${CMAKE_CURRENT_LIST_DIR}/DeviceLinkView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QtUiDispatcher.h
  ${CMAKE_CURRENT_LIST_DIR}/QtUiDispatcher.cpp
)
