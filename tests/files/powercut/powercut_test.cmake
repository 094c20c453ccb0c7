# The short power-cut run: scripts/power-cut.sh boots a Debian kernel under
# QEMU (software emulation) a few times per file system, cuts its power while
# kxrd4_powercut_saver saves, and checks the disk image on the host. Like the
# kernel end-to-end test it is labelled "kernel" and left out under the
# sanitizer presets and off Linux. Its guest has one processor, so the other
# tests run alongside it (not the kernel end-to-end test, which takes the
# whole machine).
option(KXRD4_WITH_POWERCUT_TEST "Register the short power-cut test" ON)
if(CMAKE_CXX_FLAGS MATCHES "-fsanitize" OR NOT CMAKE_SYSTEM_NAME STREQUAL "Linux"
   OR KXRD4_POWERCUT_MUTANT)
  set(KXRD4_WITH_POWERCUT_TEST OFF)
endif()

if(KXRD4_WITH_POWERCUT_TEST)
  add_test(NAME power_cut
    COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/power-cut.sh
            --cuts 3 --fs both
            --build-dir ${CMAKE_BINARY_DIR}
            --saver $<TARGET_FILE:kxrd4_powercut_saver>)
  set_tests_properties(power_cut PROPERTIES LABELS kernel TIMEOUT 420)
endif()
