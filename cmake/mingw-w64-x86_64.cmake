# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 toolchain
# (g++-mingw-w64-x86-64-posix: the POSIX thread model, which std::thread needs).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KXRD4_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KXRD4_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KXRD4_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KXRD4_MINGW_TRIPLE}-windres)

# Libraries and headers come from the MinGW root, programs from the build host.
# Packages are also looked for in CMAKE_PREFIX_PATH as given (a Qt for Windows
# installed in its own prefix, for example).
set(CMAKE_FIND_ROOT_PATH /usr/${KXRD4_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
