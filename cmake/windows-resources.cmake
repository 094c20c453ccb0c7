# The Windows resources of a program (src/app/windows): the tool's icon, the
# version information from project(VERSION) and the manifest (Windows 10/11,
# per-monitor DPI awareness v2, long paths). kx_windows_resources(TARGET
# DESCRIPTION) configures them for TARGET.exe and adds them to it.
enable_language(RC)

function(kx_windows_resources target description)
  set(dir ${PROJECT_SOURCE_DIR}/src/app/windows)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}-resources)
  set(KX_RC_NAME ${target})
  set(KX_RC_FILE_NAME ${target}.exe)
  set(KX_RC_DESCRIPTION "${description}")
  set(KX_RC_ICON ${dir}/kxrd4-pc.ico)
  set(KX_RC_MANIFEST ${out}/${target}.manifest)
  set(KX_RC_VERSION_MINOR 0)
  set(KX_RC_VERSION_PATCH 0)
  if(NOT "${PROJECT_VERSION_MINOR}" STREQUAL "")
    set(KX_RC_VERSION_MINOR ${PROJECT_VERSION_MINOR})
  endif()
  if(NOT "${PROJECT_VERSION_PATCH}" STREQUAL "")
    set(KX_RC_VERSION_PATCH ${PROJECT_VERSION_PATCH})
  endif()
  set(KX_RC_VERSION4
      "${PROJECT_VERSION_MAJOR}.${KX_RC_VERSION_MINOR}.${KX_RC_VERSION_PATCH}.0")
  configure_file(${dir}/program.manifest.in ${KX_RC_MANIFEST} @ONLY)
  configure_file(${dir}/program.rc.in ${out}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${out}/${target}.rc)
  # A new icon or manifest rebuilds the resources.
  set_property(SOURCE ${out}/${target}.rc APPEND PROPERTY OBJECT_DEPENDS
               ${KX_RC_ICON} ${KX_RC_MANIFEST})
endfunction()
