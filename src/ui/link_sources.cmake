# Sources of the Qt glue of the device link, and the controller backups over it.
target_sources(kx_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/DeviceLinkView.h
  ${CMAKE_CURRENT_LIST_DIR}/DeviceLinkView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DeviceTexts.h
  ${CMAKE_CURRENT_LIST_DIR}/DeviceTexts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QtUiDispatcher.h
  ${CMAKE_CURRENT_LIST_DIR}/QtUiDispatcher.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ControllerBackupView.h
  ${CMAKE_CURRENT_LIST_DIR}/ControllerBackupView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BackupSummary.h
  ${CMAKE_CURRENT_LIST_DIR}/BackupSummary.cpp
)
