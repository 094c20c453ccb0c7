# Fails when a text of the window has no finished translation: brings a copy
# of each .ts file up to date with the sources (as the target kxrd4_lupdate
# would) and lets lrelease count what is unfinished or empty.
#   cmake -DLUPDATE=... -DLRELEASE=... -DTS_FILES=a.ts;b.ts -DSOURCES=dir;dir
#         -DOPTIONS=... -DWORK=dir -P CheckTranslations.cmake
file(MAKE_DIRECTORY ${WORK})
set(failed FALSE)
foreach(ts IN LISTS TS_FILES)
  get_filename_component(name ${ts} NAME)
  set(copy ${WORK}/${name})
  file(COPY_FILE ${ts} ${copy})
  execute_process(COMMAND ${LUPDATE} ${OPTIONS} ${SOURCES} -ts ${copy}
    RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT code EQUAL 0)
    message(SEND_ERROR "lupdate failed on ${name}:\n${out}")
    set(failed TRUE)
    continue()
  endif()
  execute_process(COMMAND ${LRELEASE} ${copy} -qm ${WORK}/${name}.qm
    RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE out)
  message(STATUS "${name}: ${out}")
  if(NOT code EQUAL 0 OR NOT out MATCHES "and 0 unfinished" OR out MATCHES "untranslated")
    # Name the texts that lack a finished translation.
    file(READ ${copy} content)
    string(REGEX MATCHALL "<source>[^<]*</source>[ \n]*<translation type=\"unfinished\"" open
           "${content}")
    string(REGEX MATCHALL "<source>[^<]*</source>[ \n]*<translation[^>]*></translation>" empty
           "${content}")
    message(SEND_ERROR "${name}: texts without a finished English translation "
            "(run 'cmake --build <build> --target kxrd4_lupdate', then translate them in "
            "${ts}):\n${open}\n${empty}")
    set(failed TRUE)
  endif()
endforeach()
if(failed)
  message(FATAL_ERROR "translations incomplete")
endif()
