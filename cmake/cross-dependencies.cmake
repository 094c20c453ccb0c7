# Header-only dependencies of a cross build, taken from the build host: the
# host's include folder cannot be searched as a whole by the cross compiler, so
# each header is copied into a folder of its own.
set(KXRD4_SIMPLEINI_HEADER /usr/include/SimpleIni.h
    CACHE FILEPATH "SimpleIni.h for cross builds (libsimpleini-dev)")
if(NOT EXISTS ${KXRD4_SIMPLEINI_HEADER})
  message(FATAL_ERROR "SimpleIni.h not found at ${KXRD4_SIMPLEINI_HEADER} (libsimpleini-dev)")
endif()
configure_file(${KXRD4_SIMPLEINI_HEADER} ${CMAKE_BINARY_DIR}/host-headers/SimpleIni.h COPYONLY)
set(KXRD4_HOST_HEADER_DIR ${CMAKE_BINARY_DIR}/host-headers)
