# Sources of the controller message protocol.
target_sources(kx_device PRIVATE
  MessageLetter.h
  WireInt32.h
  WireInt32.cpp
  ControllerMessages.h
  ControllerMessages.cpp
  DeviceReportSink.h
  DeviceReportProcessor.h
  DeviceReportProcessor.cpp
  ReplyTimeouts.h
  ReplyTimeouts.cpp
  Windows1250.h
  Windows1250.cpp
)
