# kx_unity_batches(TARGET [WIDGETS] [SIZE n] [APART file...])
#
# With KXRD4_UNITY_BATCHES the C++ sources of TARGET are compiled SIZE files
# at a time (default 4): most of each file's compile time goes into the same
# Qt, standard library and Google Test headers, which a batch parses once.
#   ON    every target that asks (the asan, fuzz and windows presets);
#   CORE  only the targets without widgets (the release preset): the window's
#         targets, marked WIDGETS, compile every file alone, as the tsan
#         preset, which builds no widgets, does for all the others;
#   OFF   every file alone (the tsan preset, and the other Debian release's
#         build, whose compiler and library differ).
# So every file is compiled alone in one build of the test command, and a file
# that misses an include still fails there.
#
# A batch is a file of #include lines in the build folder that name the
# sources relative to the project folder, so that it, and the __FILE__ in
# every message, reads the same in any clone and the compiler cache serves a
# clone in another folder too (CMake's own unity build names the sources by
# absolute path). The files named after APART (by file name, e.g. Foo.cpp)
# stay out of the batches and are compiled alone: files whose internal names
# would clash with another file's in one translation unit, and files that
# only a build with the window compiles. So do files with compile
# definitions or options of their own (source file properties), which a
# batch would not carry. In a batch the types of the anonymous namespaces
# come from an included file, which GCC's -Wsubobject-linkage takes for a
# header: that warning is off for batched targets.
set(KXRD4_UNITY_BATCHES OFF CACHE STRING
    "Compile the sources of the larger targets in batches of files: ON, CORE (targets without widgets) or OFF")
set_property(CACHE KXRD4_UNITY_BATCHES PROPERTY STRINGS ON CORE OFF)

function(kx_unity_batches target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "WIDGETS" "SIZE" "APART")
  # CORE counts as true; any other true value is ON.
  if(NOT KXRD4_UNITY_BATCHES OR (KXRD4_UNITY_BATCHES STREQUAL "CORE" AND arg_WIDGETS))
    return()
  endif()
  if(NOT arg_SIZE)
    set(arg_SIZE 4)
  endif()
  get_target_property(source_dir ${target} SOURCE_DIR)
  get_target_property(listed ${target} SOURCES)
  set(sources "")
  foreach(source IN LISTS listed)
    if(NOT source MATCHES "\\.cpp$")
      continue()
    endif()
    get_filename_component(name ${source} NAME)
    if(name IN_LIST arg_APART)
      continue()
    endif()
    get_filename_component(source ${source} ABSOLUTE BASE_DIR ${source_dir})
    set(own "")
    foreach(property COMPILE_DEFINITIONS COMPILE_OPTIONS INCLUDE_DIRECTORIES)
      get_source_file_property(value ${source} TARGET_DIRECTORY ${target} ${property})
      if(value)
        set(own ${value})
      endif()
    endforeach()
    if(NOT own)
      list(APPEND sources ${source})
    endif()
  endforeach()
  list(LENGTH sources total)
  if(total LESS 2)
    return()
  endif()
  math(EXPR last "${total} - 1")
  foreach(first RANGE 0 ${last} ${arg_SIZE})
    list(SUBLIST sources ${first} ${arg_SIZE} batch)
    set(content "")
    foreach(source IN LISTS batch)
      file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR} ${source})
      string(APPEND content "#include \"${relative}\"\n")
    endforeach()
    math(EXPR index "${first} / ${arg_SIZE}")
    set(file ${CMAKE_CURRENT_BINARY_DIR}/${target}_batches/batch${index}.cpp)
    file(GENERATE OUTPUT ${file} CONTENT "${content}")
    target_sources(${target} PRIVATE ${file})
  endforeach()
  set_source_files_properties(${sources} TARGET_DIRECTORY ${target}
                              PROPERTIES HEADER_FILE_ONLY ON)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -Wno-subobject-linkage)
  endif()
endfunction()
