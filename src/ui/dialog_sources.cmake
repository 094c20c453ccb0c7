# Sources of the dialog part of the user interface: the line edit dialog,
# the file commands and the window settings.
set(KX_DIALOG_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/TFProg.h
  ${CMAKE_CURRENT_LIST_DIR}/TFProg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileCommandsHost.h
  ${CMAKE_CURRENT_LIST_DIR}/FileCommands.h
  ${CMAKE_CURRENT_LIST_DIR}/FileCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WindowSettings.h
  ${CMAKE_CURRENT_LIST_DIR}/WindowSettings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EditRecovery.h
  ${CMAKE_CURRENT_LIST_DIR}/EditRecovery.cpp
)
target_sources(kx_ui PRIVATE ${KX_DIALOG_SOURCES})
