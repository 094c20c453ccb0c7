# Sources of the shell part of the user interface.
target_sources(kx_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/EditorHost.h
  ${CMAKE_CURRENT_LIST_DIR}/EditorPage.h
  ${CMAKE_CURRENT_LIST_DIR}/EditorPage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DeferredStyleIcon.h
  ${CMAKE_CURRENT_LIST_DIR}/DeferredStyleIcon.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProgramEditing.h
  ${CMAKE_CURRENT_LIST_DIR}/ProgramEditing.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProgramCheckView.h
  ${CMAKE_CURRENT_LIST_DIR}/ProgramCheckView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HeldProgramView.h
  ${CMAKE_CURRENT_LIST_DIR}/HeldProgramView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProgramHistory.h
  ${CMAKE_CURRENT_LIST_DIR}/ProgramHistory.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProgramSetStep.h
  ${CMAKE_CURRENT_LIST_DIR}/ProgramSetStep.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TextView.h
  ${CMAKE_CURRENT_LIST_DIR}/TextView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TextShaping.h
  ${CMAKE_CURRENT_LIST_DIR}/TextShaping.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FontFamilies.h
  ${CMAKE_CURRENT_LIST_DIR}/StartUpWarmUp.h
  ${CMAKE_CURRENT_LIST_DIR}/FormControls.h
  ${CMAKE_CURRENT_LIST_DIR}/FontFamilies.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FormControls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GeneralErrorDisplay.h
  ${CMAKE_CURRENT_LIST_DIR}/GeneralErrorDisplay.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KxApplication.h
  ${CMAKE_CURRENT_LIST_DIR}/GroupBoxFrameStyle.h
  ${CMAKE_CURRENT_LIST_DIR}/GroupBoxFrameStyle.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AxisStop.h
  ${CMAKE_CURRENT_LIST_DIR}/AxisStop.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MotionGuard.h
  ${CMAKE_CURRENT_LIST_DIR}/MotionGuard.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TravelLimitsView.h
  ${CMAKE_CURRENT_LIST_DIR}/TravelLimitsView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KxApplication.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QtFileDialogs.h
  ${CMAKE_CURRENT_LIST_DIR}/QtFileDialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QtMessageBoxes.h
  ${CMAKE_CURRENT_LIST_DIR}/QtMessageBoxes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ScreenshotHook.h
  ${CMAKE_CURRENT_LIST_DIR}/ScreenshotHook.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SessionEnd.h
  ${CMAKE_CURRENT_LIST_DIR}/SessionEnd.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SignalEnd.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TFMain.h
  ${CMAKE_CURRENT_LIST_DIR}/TFMain.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TranslationFolders.h
  ${CMAKE_CURRENT_LIST_DIR}/UiLanguage.h
  ${CMAKE_CURRENT_LIST_DIR}/UiLanguage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LanguageBox.h
  ${CMAKE_CURRENT_LIST_DIR}/LanguageBox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ManualView.h
  ${CMAKE_CURRENT_LIST_DIR}/ManualView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/resources/shell.qrc
)
# Where Qt's own translations are looked for differs between the platforms.
if(WIN32)
  target_sources(kx_ui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/TranslationFoldersWindows.cpp)
else()
  target_sources(kx_ui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/TranslationFoldersLinux.cpp)
endif()
# Fonts come through fontconfig on Linux: its configuration is loaded ahead,
# then Qt's image plugins and the tool's pictures.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
  target_sources(kx_ui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/StartUpWarmUpLinux.cpp)
  target_link_libraries(kx_ui PRIVATE PkgConfig::FONTCONFIG)
else()
  target_sources(kx_ui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/StartUpWarmUpNone.cpp)
endif()
