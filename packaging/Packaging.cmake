# Installation in the usual places (cmake --install) and the Debian package
# (cpack -G DEB, see scripts/package.sh). Included from the top CMakeLists.txt
# after every program is defined; programs not built in this tree are skipped.

include(GNUInstallDirs)

set(KXRD4_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(KXRD4_PROGRAMS kxrd4-pc kxrd4-cli kxrd4-sim)
set(KXRD4_INSTALLED_PROGRAMS)
foreach(program IN LISTS KXRD4_PROGRAMS)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    list(APPEND KXRD4_INSTALLED_PROGRAMS ${program})
  endif()
endforeach()

# ---- Desktop integration: entry, icon, udev rule, documents -----------------
if(TARGET kxrd4-pc)
  install(FILES ${KXRD4_PACKAGING_DIR}/kxrd4-pc.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${KXRD4_PACKAGING_DIR}/icons/kxrd4-pc.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 16 32 48 64 128 256)
    install(FILES ${KXRD4_PACKAGING_DIR}/icons/kxrd4-pc-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME kxrd4-pc.png)
  endforeach()
endif()
# udev reads lib/udev/rules.d below /usr and /usr/local (not the multiarch libdir).
set(KXRD4_UDEV_RULES_DIR lib/udev/rules.d CACHE STRING
    "Where the udev rule goes, relative to the installation prefix")
install(FILES ${KXRD4_PACKAGING_DIR}/70-kxrd4.rules DESTINATION ${KXRD4_UDEV_RULES_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${KXRD4_PACKAGING_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR}
        RENAME README.udev.md)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR}
        RENAME copyright)
# The operator's manual (also inside the program, "Pomoc" -> "Instrukcja obsługi").
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/manual/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/manual)

# ---- Manual pages -------------------------------------------------------------
# kxrd4-pc's page is written by hand (it is a window, its --help says little);
# the command-line programs' pages are made from their --help and --version by
# help2man when the programs are built.
option(KXRD4_WITH_MANPAGES "Build and install the manual pages" ON)
if(KXRD4_WITH_MANPAGES)
  find_program(GZIP_EXECUTABLE gzip REQUIRED)
  set(man_dir ${PROJECT_BINARY_DIR}/man)
  # help2man writes into it also in builds without the window (no configured page).
  file(MAKE_DIRECTORY ${man_dir})
  set(man_pages)
  if(TARGET kxrd4-pc)
    configure_file(${KXRD4_PACKAGING_DIR}/man/kxrd4-pc.1.in ${man_dir}/kxrd4-pc.1 @ONLY)
    add_custom_command(OUTPUT ${man_dir}/kxrd4-pc.1.gz
      COMMAND ${GZIP_EXECUTABLE} -9nf -k ${man_dir}/kxrd4-pc.1
      DEPENDS ${man_dir}/kxrd4-pc.1 VERBATIM)
    list(APPEND man_pages ${man_dir}/kxrd4-pc.1.gz)
  endif()
  set(kxrd4-cli_summary "command-line tool for the KX-RD4 motion controller")
  set(kxrd4-sim_summary "simulated KX-RD4 motion controller")
  foreach(program kxrd4-cli kxrd4-sim)
    if(NOT TARGET ${program})
      continue()
    endif()
    find_program(HELP2MAN_EXECUTABLE help2man)
    if(NOT HELP2MAN_EXECUTABLE)
      message(WARNING "help2man is missing: no manual page for ${program}")
      continue()
    endif()
    # Sections --help does not hold (examples) come from NAME.h2m when there is one.
    set(include_args)
    set(include_file ${KXRD4_PACKAGING_DIR}/man/${program}.h2m)
    if(EXISTS ${include_file})
      set(include_args --include=${include_file})
    else()
      set(include_file)
    endif()
    add_custom_command(OUTPUT ${man_dir}/${program}.1.gz
      COMMAND ${HELP2MAN_EXECUTABLE} --no-info --no-discard-stderr
              --name=${${program}_summary} --version-string=${PROJECT_VERSION}
              ${include_args}
              --output=${man_dir}/${program}.1 $<TARGET_FILE:${program}>
      COMMAND ${GZIP_EXECUTABLE} -9nf ${man_dir}/${program}.1
      DEPENDS ${program} ${include_file} VERBATIM)
    list(APPEND man_pages ${man_dir}/${program}.1.gz)
  endforeach()
  if(man_pages)
    add_custom_target(manpages ALL DEPENDS ${man_pages})
    install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
endif()

# ---- Debian package -------------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kxrd4-pc)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "kxrd4-pc developers")
set(CPACK_PACKAGE_CONTACT "kxrd4-pc developers <kxrd4-pc@example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop tool for the KX-RD4 motion controller")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "desktop tool for the KX-RD4 motion controller
 Writes, stores, sends, reads back and runs the motion programs of the KX-RD4,
 a single-axis trajectory generator attached over USB as a HID device; drives
 the motor by hand, reads and writes motion parameters, shows position and
 velocity on a live chart and configures the controller. The package also
 holds the udev rule that lets the logged-in user reach the controller, and
 the command-line tool and controller simulator where they are built.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# The package carries the release it was built on (kxrd4-pc_1.3~deb12_amd64.deb):
# its library dependencies are those of that release, whose package names may
# differ from another release's. The tilde keeps it below a plain 1.3.
set(KXRD4_PACKAGE_RELEASE "" CACHE STRING "Debian release the package is built for (deb12, deb13; empty: none)")
if(KXRD4_PACKAGE_RELEASE)
  if(NOT KXRD4_PACKAGE_RELEASE MATCHES "^[a-z]+[0-9]+$")
    message(FATAL_ERROR "KXRD4_PACKAGE_RELEASE '${KXRD4_PACKAGE_RELEASE}' is not like deb12")
  endif()
  set(CPACK_DEBIAN_PACKAGE_VERSION "${PROJECT_VERSION}~${KXRD4_PACKAGE_RELEASE}")
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # kxrd4-pc_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Shared libraries are found by dpkg-shlibdeps; these are loaded at run time:
# the X11 platform plugin, Qt's Polish texts and the fonts the window asks for.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, qt6-translations-l10n, fonts-liberation | fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "udev")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${KXRD4_PACKAGING_DIR}/debian/postinst ${KXRD4_PACKAGING_DIR}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
