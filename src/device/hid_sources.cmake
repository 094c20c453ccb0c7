# Sources of the HID link (back ends, controller, device, reader).
target_sources(kx_device PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CurrentDeviceOutput.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DeviceChoice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DeviceIdentity.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DeviceLink.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DeviceLock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HandOverQueue.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HidReportDescriptor.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HidStringCache.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HidText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PumpedUiDispatcher.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SimulatedHidBackend.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TJvHidDevice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TJvHidDeviceController.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TJvHidDeviceReadThread.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TransferHold.cpp
)
# The platform's own back end, and the factory that picks it.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  target_sources(kx_device PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/DeviceLockLinux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LinuxHidrawBackend.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PlatformHidBackendLinux.cpp
  )
elseif(WIN32)
  target_sources(kx_device PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/DeviceLockWindows.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WindowsLibraryLoader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WindowsHidApi.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WindowsHidBackend.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WindowsDeviceNotifier.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PlatformHidBackendWindows.cpp
  )
else()
  message(FATAL_ERROR "No HID back end for ${CMAKE_SYSTEM_NAME}")
endif()
