# find_package(kxrd4): the imported target kxrd4::kxrd4 (libkxrd4 and its
# header kxrd4/kxrd4.h).
include("${CMAKE_CURRENT_LIST_DIR}/kxrd4Targets.cmake")
