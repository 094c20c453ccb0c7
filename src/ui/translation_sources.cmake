# The window's English texts live in translations/*.ts (Polish is the source
# language, KXRD4_TS_FILES); src/report compiles and embeds them (its
# translation_sources.cmake).
# The target kxrd4_lupdate brings the .ts files up to date with the sources; the
# test translations_complete fails on any text without a finished translation.
find_program(KXRD4_LUPDATE NAMES lupdate lupdate6 lupdate-qt6
  HINTS ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS} /usr/lib/qt6/bin NO_CMAKE_FIND_ROOT_PATH)
if(NOT KXRD4_LUPDATE)
  message(FATAL_ERROR "lupdate not found: install qt6-l10n-tools (scripts/setup.sh)")
endif()

# Where lupdate looks for texts: the window's sources, the device layer's and the
# run report's.
set(KXRD4_TS_SOURCES ${CMAKE_CURRENT_LIST_DIR} ${PROJECT_SOURCE_DIR}/src/device
  ${PROJECT_SOURCE_DIR}/src/report)
# The device layer marks its texts with KX_TRANSLATABLE (Translatable.h).
set(KXRD4_LUPDATE_OPTIONS -silent -locations none -no-obsolete -source-language pl
  -target-language en -tr-function-alias QT_TRANSLATE_NOOP+=KX_TRANSLATABLE)
# The manual (docs/manual/<language>/*.md and its pictures) under :/manual.
file(GLOB_RECURSE kx_manual_files CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/docs/manual/*.md ${PROJECT_SOURCE_DIR}/docs/manual/*.png)
qt_add_resources(kx_ui kx_manual PREFIX /manual BASE ${PROJECT_SOURCE_DIR}/docs/manual
  FILES ${kx_manual_files})

add_custom_target(kxrd4_lupdate
  COMMAND ${KXRD4_LUPDATE} ${KXRD4_LUPDATE_OPTIONS} ${KXRD4_TS_SOURCES} -ts ${KXRD4_TS_FILES}
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
  COMMENT "Updating the translations from the sources"
  VERBATIM)

if(KXRD4_WITH_TESTS)
  add_test(NAME translations_complete
    COMMAND ${CMAKE_COMMAND} -DLUPDATE=${KXRD4_LUPDATE} -DLRELEASE=${KXRD4_LRELEASE}
            "-DTS_FILES=${KXRD4_TS_FILES}" "-DSOURCES=${KXRD4_TS_SOURCES}"
            "-DOPTIONS=${KXRD4_LUPDATE_OPTIONS}" -DWORK=${CMAKE_CURRENT_BINARY_DIR}/ts-check
            -P ${PROJECT_SOURCE_DIR}/cmake/CheckTranslations.cmake)
endif()
