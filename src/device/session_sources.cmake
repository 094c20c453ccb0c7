# Sources of the controller session: the HID link driven by the calling
# thread with every reply awaited (the command-line tool, and the window's
# backups on a thread of their own), and the backup and restore built on it.
target_sources(kx_device PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ControllerSession.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BackupSession.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BackupHeader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ParameterTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AxisMotion.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ParameterAccess.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RestoreAll.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MotionRecorder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MotionRecording.cpp
)
# Device-change notifications served between waits: one source per system.
if(WIN32)
  target_sources(kx_device PRIVATE ${CMAKE_CURRENT_LIST_DIR}/DeviceNotificationsWindows.cpp)
else()
  target_sources(kx_device PRIVATE ${CMAKE_CURRENT_LIST_DIR}/DeviceNotificationsPosix.cpp)
endif()
