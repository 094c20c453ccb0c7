cmake_minimum_required(VERSION 3.25)
# The build's check of the exported functions (cmake/check-symbols.cmake)
# against lists that differ from the library (cmake -P): NM, LIBRARY, ABI_DIR
# (the committed lists), CHECK (the script), WORK, MAJOR, MINOR. The committed
# lists pass; a list that lacks a function, one that names a function the
# library does not export, another list of the same major version naming a
# function no longer exported, and a version without a list all fail.
file(GLOB committed ${ABI_DIR}/*.symbols)
set(current ${ABI_DIR}/libkxrd4-${MAJOR}.${MINOR}.symbols)
file(STRINGS ${current} names REGEX "^kxrd4_")
list(GET names 0 first)

function(expect outcome what)
  execute_process(COMMAND ${CMAKE_COMMAND} -DNM=${NM} -DLIBRARY=${LIBRARY} -DABI_DIR=${WORK}
                          -DMAJOR=${MAJOR} -DMINOR=${MINOR} -P ${CHECK}
                  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(outcome STREQUAL "pass" AND NOT result EQUAL 0)
    message(FATAL_ERROR "${what}: the check failed:\n${out}")
  elseif(outcome STREQUAL "fail" AND result EQUAL 0)
    message(FATAL_ERROR "${what}: the check passed")
  endif()
  message(STATUS "${what}: ${outcome}ed as it should")
endfunction()

function(prepare)
  file(REMOVE_RECURSE ${WORK})
  file(MAKE_DIRECTORY ${WORK})
  file(COPY ${committed} DESTINATION ${WORK})
endfunction()

prepare()
expect(pass "the committed lists")

prepare()
list(REMOVE_ITEM names ${first})
list(JOIN names "\n" text)
file(WRITE ${WORK}/libkxrd4-${MAJOR}.${MINOR}.symbols "${text}\n")
expect(fail "a function exported but not listed (added without a new version)")

prepare()
file(APPEND ${WORK}/libkxrd4-${MAJOR}.${MINOR}.symbols "kxrd4_gone\n")
expect(fail "a function listed but no longer exported")

prepare()
file(WRITE ${WORK}/libkxrd4-${MAJOR}.99.symbols "${first}\nkxrd4_removed_since\n")
expect(fail "another list of the major version naming a function since removed")

prepare()
file(REMOVE ${WORK}/libkxrd4-${MAJOR}.${MINOR}.symbols)
expect(fail "a version without its list")
file(REMOVE_RECURSE ${WORK})
