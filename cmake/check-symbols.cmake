cmake_minimum_required(VERSION 3.25)
# Compares the functions a shared library exports with the committed lists
# (cmake -P): NM, LIBRARY, ABI_DIR, MAJOR, MINOR. The list of this version,
# libkxrd4-MAJOR.MINOR.symbols, must hold exactly the exported functions, and
# each earlier MAJOR.* list only functions still exported (a minor version
# only adds). A change of the exported functions is thus a change of the
# version in the header and a new list.
execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY}
                OUTPUT_VARIABLE nm_out RESULT_VARIABLE nm_result)
if(NOT nm_result EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "[0-9a-fA-F]+ [A-Za-z] [^\n]+" rows "${nm_out}")
set(exported)
foreach(row IN LISTS rows)
  string(REGEX REPLACE "^[0-9a-fA-F]+ [A-Za-z] " "" name "${row}")
  string(REGEX REPLACE "@.*$" "" name "${name}")
  list(APPEND exported ${name})
endforeach()
list(SORT exported)
list(REMOVE_DUPLICATES exported)
foreach(name IN LISTS exported)
  if(NOT name MATCHES "^kxrd4_")
    message(FATAL_ERROR "${LIBRARY} exports ${name}, which is not kxrd4_*")
  endif()
endforeach()

set(current ${ABI_DIR}/libkxrd4-${MAJOR}.${MINOR}.symbols)
string(REPLACE ";" "\n" exported_text "${exported}")
if(NOT EXISTS ${current})
  message(FATAL_ERROR "No list of exported functions for version ${MAJOR}.${MINOR}: "
                      "${current} is missing. The library exports:\n${exported_text}")
endif()
file(STRINGS ${current} listed REGEX "^kxrd4_")
list(SORT listed)
if(NOT listed STREQUAL exported)
  set(added ${exported})
  list(REMOVE_ITEM added ${listed})
  set(removed ${listed})
  list(REMOVE_ITEM removed ${exported})
  message(FATAL_ERROR "The exported functions differ from ${current}\n"
                      "  exported, not listed: ${added}\n  listed, not exported: ${removed}\n"
                      "A new function is a new minor version (KXRD4_VERSION_MINOR in "
                      "kxrd4.h and a new list); a removed or changed one a new major version.")
endif()
file(GLOB earlier ${ABI_DIR}/libkxrd4-${MAJOR}.*.symbols)
foreach(list_file IN LISTS earlier)
  file(STRINGS ${list_file} names REGEX "^kxrd4_")
  foreach(name IN LISTS names)
    if(NOT name IN_LIST exported)
      message(FATAL_ERROR "${name} of ${list_file} is no longer exported: within major "
                          "version ${MAJOR} functions are only added")
    endif()
  endforeach()
endforeach()
