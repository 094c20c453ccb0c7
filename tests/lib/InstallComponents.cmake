# Installs the library and the Python module as their packages hold them into
# a folder of their own (cmake -P): BUILD_DIR, PREFIX.
file(REMOVE_RECURSE ${PREFIX})
foreach(component lib python)
  execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --component ${component}
                          --prefix ${PREFIX}
                  RESULT_VARIABLE result OUTPUT_QUIET)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "installing ${component} into ${PREFIX} failed")
  endif()
endforeach()
