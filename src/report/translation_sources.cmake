# The tool's English texts: translations/*.ts (Polish is the source language)
# compiled by lrelease (Debian's qt6-l10n-tools, a host tool, also for the
# Windows cross build) and embedded in kx_report under :/i18n, where both the
# window and the command-line tool's report load them (ToolLanguage).
find_program(KXRD4_LRELEASE NAMES lrelease lrelease6 lrelease-qt6
  HINTS ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS} /usr/lib/qt6/bin NO_CMAKE_FIND_ROOT_PATH)
if(NOT KXRD4_LRELEASE)
  message(FATAL_ERROR "lrelease not found: install qt6-l10n-tools (scripts/setup.sh)")
endif()

set(KXRD4_TS_FILES ${PROJECT_SOURCE_DIR}/translations/kxrd4-pc_en.ts)
# Also for the window's kxrd4_lupdate and translations_complete (src/ui).
set(KXRD4_TS_FILES ${KXRD4_TS_FILES} PARENT_SCOPE)
set(kx_qm_files)
foreach(ts IN LISTS KXRD4_TS_FILES)
  get_filename_component(name ${ts} NAME_WE)
  set(qm ${CMAKE_CURRENT_BINARY_DIR}/i18n/${name}.qm)
  add_custom_command(OUTPUT ${qm}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/i18n
    COMMAND ${KXRD4_LRELEASE} -silent ${ts} -qm ${qm}
    DEPENDS ${ts}
    COMMENT "Compiling the translation ${name}.qm")
  list(APPEND kx_qm_files ${qm})
endforeach()
qt_add_resources(kx_report kx_translations PREFIX /i18n BASE ${CMAKE_CURRENT_BINARY_DIR}/i18n
  FILES ${kx_qm_files})
