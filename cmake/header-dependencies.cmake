# Header-only dependencies where the system has no package for them (a Windows
# build) or where the host's include folder cannot be searched as a whole (a
# cross build): each header is copied into a folder of its own.
if(CMAKE_CROSSCOMPILING)
  set(simpleini_default /usr/include/SimpleIni.h)
else()
  set(simpleini_default "")
endif()
set(KXRD4_SIMPLEINI_HEADER "${simpleini_default}"
    CACHE FILEPATH "SimpleIni.h (Debian: libsimpleini-dev; elsewhere the header from SimpleIni's sources)")
if(NOT EXISTS "${KXRD4_SIMPLEINI_HEADER}")
  message(FATAL_ERROR "SimpleIni.h not found: set KXRD4_SIMPLEINI_HEADER to its path")
endif()
configure_file(${KXRD4_SIMPLEINI_HEADER} ${CMAKE_BINARY_DIR}/host-headers/SimpleIni.h COPYONLY)
set(KXRD4_HOST_HEADER_DIR ${CMAKE_BINARY_DIR}/host-headers)
