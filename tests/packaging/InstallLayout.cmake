cmake_minimum_required(VERSION 3.25)
# Installs the build into a scratch prefix and checks that each file stands in
# its place below /usr. Arguments: BUILD_DIR, WORK_DIR, PROGRAMS (those built,
# separated by commas), and when the library is built LIBDIR (its folder),
# LIB_VERSION (1.0.0) and PYTHON_DIR (the Python module's folder); with the
# window, CHART_DIR (the folder of its chart library).
string(REPLACE "," ";" PROGRAMS "${PROGRAMS}")
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(
  COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/usr
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed:\n${output}")
endif()

set(expected
  lib/udev/rules.d/70-kxrd4.rules
  share/doc/kxrd4-pc/README.md
  share/doc/kxrd4-pc/README.udev.md
  share/doc/kxrd4-pc/copyright)
# The operator's manual, each of its pages in both languages.
file(GLOB_RECURSE manual RELATIVE ${CMAKE_CURRENT_LIST_DIR}/../../docs/manual
     ${CMAKE_CURRENT_LIST_DIR}/../../docs/manual/*)
foreach(page IN LISTS manual)
  list(APPEND expected share/doc/kxrd4-pc/manual/${page})
endforeach()
foreach(program IN LISTS PROGRAMS)
  if(program)
    list(APPEND expected bin/${program} share/man/man1/${program}.1.gz)
  endif()
endforeach()
if("kxrd4-pc" IN_LIST PROGRAMS)
  list(APPEND expected
    share/applications/kxrd4-pc.desktop
    share/icons/hicolor/scalable/apps/kxrd4-pc.svg)
  foreach(size 16 32 48 64 128 256)
    list(APPEND expected share/icons/hicolor/${size}x${size}/apps/kxrd4-pc.png)
  endforeach()
endif()
if(CHART_DIR)
  list(APPEND expected ${CHART_DIR}/libkxrd4-chart.so)
endif()

set(missing)
if(LIBDIR)
  string(REGEX MATCH "^[0-9]+" major "${LIB_VERSION}")
  list(APPEND expected
    ${LIBDIR}/libkxrd4.so ${LIBDIR}/libkxrd4.so.${major} ${LIBDIR}/libkxrd4.so.${LIB_VERSION}
    ${LIBDIR}/pkgconfig/kxrd4.pc
    ${LIBDIR}/cmake/kxrd4/kxrd4Config.cmake ${LIBDIR}/cmake/kxrd4/kxrd4ConfigVersion.cmake
    ${LIBDIR}/cmake/kxrd4/kxrd4Targets.cmake
    include/kxrd4/kxrd4.h
    share/doc/libkxrd4-dev/examples/move_and_check.c
    share/doc/libkxrd4-dev/examples/production_line.py
    ${PYTHON_DIR}/kxrd4/__init__.py ${PYTHON_DIR}/kxrd4/_native.py ${PYTHON_DIR}/kxrd4/py.typed)
  # The imported target's file for the build type (kxrd4Targets-release.cmake).
  file(GLOB per_config RELATIVE ${WORK_DIR}/usr
       ${WORK_DIR}/usr/${LIBDIR}/cmake/kxrd4/kxrd4Targets-*.cmake)
  if(NOT per_config)
    list(APPEND missing ${LIBDIR}/cmake/kxrd4/kxrd4Targets-CONFIG.cmake)
  endif()
  list(APPEND expected ${per_config})
endif()

foreach(file IN LISTS expected)
  if(NOT EXISTS ${WORK_DIR}/usr/${file})
    list(APPEND missing ${file})
  endif()
endforeach()
# Nothing else may land outside the places above (a config.ini, a stray file).
file(GLOB_RECURSE installed RELATIVE ${WORK_DIR}/usr ${WORK_DIR}/usr/*)
set(unexpected ${installed})
list(REMOVE_ITEM unexpected ${expected})
file(REMOVE_RECURSE ${WORK_DIR})
if(missing OR unexpected)
  message(FATAL_ERROR "missing: ${missing}\nunexpected: ${unexpected}")
endif()
message(STATUS "installed as expected: ${expected}")
