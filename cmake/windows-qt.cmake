# The widgets of a Windows cross build need a Qt built for Windows: the one
# scripts/windows-qt.sh makes (KXRD4_QT_MINGW, by default
# ~/.cache/kxrd4-pc/qt6-mingw) or another found through CMAKE_PREFIX_PATH (an
# official Qt for Windows, for example). The build host's Qt of the same
# version serves as its tools (moc, rcc). KXRD4_WITH_UI=AUTO builds the
# widgets only when such a Qt is found.
if(DEFINED ENV{KXRD4_QT_MINGW} AND NOT "$ENV{KXRD4_QT_MINGW}" STREQUAL "")
  set(_kx_qt_default "$ENV{KXRD4_QT_MINGW}")
else()
  set(_kx_qt_default "$ENV{HOME}/.cache/kxrd4-pc/qt6-mingw")
endif()
set(KXRD4_QT_MINGW "${_kx_qt_default}" CACHE PATH "Qt built for Windows by scripts/windows-qt.sh")
if(EXISTS "${KXRD4_QT_MINGW}/lib/cmake/Qt6/Qt6Config.cmake")
  list(APPEND CMAKE_PREFIX_PATH "${KXRD4_QT_MINGW}")
endif()
if(NOT DEFINED QT_HOST_PATH)
  set(QT_HOST_PATH /usr)
endif()
if(NOT DEFINED QT_HOST_PATH_CMAKE_DIR AND EXISTS /usr/lib/x86_64-linux-gnu/cmake/Qt6)
  set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
endif()

if(KXRD4_WITH_UI STREQUAL "AUTO")
  find_package(Qt6 QUIET COMPONENTS Core Gui Widgets PrintSupport)
  find_package(QCustomPlotQt6 QUIET)
  if(Qt6_FOUND AND QCustomPlotQt6_FOUND)
    set(KXRD4_WITH_UI ON)
    message(STATUS "Windows widgets: Qt ${Qt6_VERSION} from ${Qt6_DIR}")
  else()
    set(KXRD4_WITH_UI OFF)
    message(STATUS "Windows widgets: skipped, no Qt for Windows found "
                   "(build one with scripts/windows-qt.sh, or set CMAKE_PREFIX_PATH)")
  endif()
endif()
