# Installation in the usual places (cmake --install) and the Debian package
# (cpack -G DEB, see scripts/package.sh). Included from the top CMakeLists.txt
# after every program is defined; programs not built in this tree are skipped.

include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# What install() puts nowhere else belongs to the tool's own package.
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME pc)

set(KXRD4_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(KXRD4_PROGRAMS kxrd4-pc kxrd4-cli kxrd4-sim)
set(KXRD4_INSTALLED_PROGRAMS)
foreach(program IN LISTS KXRD4_PROGRAMS)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    list(APPEND KXRD4_INSTALLED_PROGRAMS ${program})
  endif()
endforeach()
# The window's chart library, where the installed kxrd4-pc looks for it.
if(TARGET kxrd4_chart)
  install(TARGETS kxrd4_chart LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/kxrd4-pc)
endif()

# ---- libkxrd4: the library, its development files, the Python module -----------
# Components lib (libkxrd4.so.1), dev (header, libkxrd4.so, pkg-config and CMake
# files) and python (the module kxrd4, ctypes over libkxrd4.so.1).
if(TARGET kxrd4)
  install(TARGETS kxrd4 EXPORT kxrd4Targets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT lib NAMELINK_COMPONENT dev
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT lib
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev
    INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/src/lib/include/kxrd4/kxrd4.h
          DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kxrd4 COMPONENT dev)
  configure_file(${KXRD4_PACKAGING_DIR}/kxrd4.pc.in ${PROJECT_BINARY_DIR}/kxrd4.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/kxrd4.pc
          DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT dev)
  set(kxrd4_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/kxrd4)
  install(EXPORT kxrd4Targets NAMESPACE kxrd4:: DESTINATION ${kxrd4_cmake_dir} COMPONENT dev)
  write_basic_package_version_file(${PROJECT_BINARY_DIR}/kxrd4ConfigVersion.cmake
    VERSION ${KXRD4_LIB_VERSION} COMPATIBILITY SameMajorVersion)
  install(FILES ${KXRD4_PACKAGING_DIR}/kxrd4Config.cmake
                ${PROJECT_BINARY_DIR}/kxrd4ConfigVersion.cmake
          DESTINATION ${kxrd4_cmake_dir} COMPONENT dev)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/libkxrd4-dev/examples
          COMPONENT dev)
  install(DIRECTORY ${KXRD4_PYTHON_DIR}/kxrd4 DESTINATION ${KXRD4_PYTHON_INSTALL_DIR}
          COMPONENT python FILES_MATCHING PATTERN "*.py" PATTERN "*.pyi" PATTERN "py.typed")
endif()

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

# ---- Debian packages -------------------------------------------------------------
# kxrd4-pc (the tool), and beside it libkxrd4-1, libkxrd4-dev and python3-kxrd4.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kxrd4-pc)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "kxrd4-pc developers")
set(CPACK_PACKAGE_CONTACT "kxrd4-pc developers <kxrd4-pc@example.com>")
# (No CPACK_PACKAGE_DESCRIPTION_SUMMARY: CPack would put it above every
# package's own description; each package's first line is its summary.)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# The package carries the release it was built on (kxrd4-pc_1.3~deb12_amd64.deb):
# its library dependencies are those of that release, whose package names may
# differ from another release's. The tilde keeps it below a plain 1.3.
set(KXRD4_PACKAGE_RELEASE "" CACHE STRING "Debian release the package is built for (deb12, deb13; empty: none)")
set(kxrd4_deb_version ${PROJECT_VERSION})
if(KXRD4_PACKAGE_RELEASE)
  if(NOT KXRD4_PACKAGE_RELEASE MATCHES "^[a-z]+[0-9]+$")
    message(FATAL_ERROR "KXRD4_PACKAGE_RELEASE '${KXRD4_PACKAGE_RELEASE}' is not like deb12")
  endif()
  set(kxrd4_deb_version "${PROJECT_VERSION}~${KXRD4_PACKAGE_RELEASE}")
  set(CPACK_DEBIAN_PACKAGE_VERSION ${kxrd4_deb_version})
endif()
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL pc)
if(TARGET kxrd4)
  list(APPEND CPACK_COMPONENTS_ALL lib dev python)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # <package>_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Shared libraries are found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_PC_PACKAGE_NAME kxrd4-pc)
set(CPACK_DEBIAN_PC_DESCRIPTION "desktop tool for the KX-RD4 motion controller
 Writes, stores, sends, reads back and runs the motion programs of the KX-RD4,
 a single-axis trajectory generator attached over USB as a HID device; drives
 the motor by hand, reads and writes motion parameters, shows position and
 velocity on a live chart and configures the controller. The package also
 holds the udev rule that lets the logged-in user reach the controller, and
 the command-line tool and controller simulator where they are built.")
# Loaded at run time: the X11 platform plugin, Qt's Polish texts and the fonts
# the window asks for.
set(CPACK_DEBIAN_PC_PACKAGE_DEPENDS
    "qt6-qpa-plugins, qt6-translations-l10n, fonts-liberation | fonts-dejavu-core")
set(CPACK_DEBIAN_PC_PACKAGE_RECOMMENDS "udev")
set(CPACK_DEBIAN_PC_PACKAGE_CONTROL_EXTRA
    ${KXRD4_PACKAGING_DIR}/debian/postinst ${KXRD4_PACKAGING_DIR}/debian/postrm)

set(CPACK_DEBIAN_LIB_PACKAGE_NAME libkxrd4-${KXRD4_LIB_MAJOR})
set(CPACK_DEBIAN_LIB_PACKAGE_SECTION libs)
# The shlibs file of each package that holds a shared library (libkxrd4-1).
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
# The udev rule that gives the logged-in user the controller is kxrd4-pc's.
set(CPACK_DEBIAN_LIB_PACKAGE_SUGGESTS "kxrd4-pc")
set(CPACK_DEBIAN_LIB_DESCRIPTION "C library for the KX-RD4 motion controller
 libkxrd4 lists, opens and drives KX-RD4 controllers (programs, parameters,
 motion, backup and restore) and checks and runs motion programs offline; it
 also holds an emulated controller for scripts and tests without hardware.
 This package holds the shared library.")

set(CPACK_DEBIAN_DEV_PACKAGE_NAME libkxrd4-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "libkxrd4-${KXRD4_LIB_MAJOR} (= ${kxrd4_deb_version})")
set(CPACK_DEBIAN_DEV_DESCRIPTION "C library for the KX-RD4 motion controller (development files)
 libkxrd4 lists, opens and drives KX-RD4 controllers and checks and runs motion
 programs offline. This package holds the header kxrd4/kxrd4.h, the pkg-config
 file kxrd4.pc, the CMake package kxrd4 and examples.")

set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME python3-kxrd4)
set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
set(CPACK_DEBIAN_PYTHON_PACKAGE_ARCHITECTURE all)
# Byte-compiled at installation, and those files removed with the package.
set(CPACK_DEBIAN_PYTHON_PACKAGE_CONTROL_EXTRA
    ${KXRD4_PACKAGING_DIR}/debian/python3-kxrd4/postinst
    ${KXRD4_PACKAGING_DIR}/debian/python3-kxrd4/prerm)
set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS
    "python3, libkxrd4-${KXRD4_LIB_MAJOR} (>= ${kxrd4_deb_version})")
set(CPACK_DEBIAN_PYTHON_DESCRIPTION "Python module for the KX-RD4 motion controller
 The module kxrd4 drives KX-RD4 controllers from Python through libkxrd4:
 programs, parameters, motion, backup and restore, the offline program check
 and dry run, with an emulated controller for scripts without hardware.")
include(CPack)
