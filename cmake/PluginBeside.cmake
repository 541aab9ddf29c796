# Windows programs that load PolarImport.dll find it, and the stand-in
# HRMCom.dll it links at load time, beside themselves. The copies are made
# again whenever either DLL changes, not only when a program links again, so
# a program never runs against a stale plug-in. The programs must have their
# output in the calling directory's binary directory.
function(polar_plugin_beside first)
  set(plugin ${CMAKE_CURRENT_BINARY_DIR}/PolarImport.dll)
  set(device ${CMAKE_CURRENT_BINARY_DIR}/HRMCom.dll)
  add_custom_command(OUTPUT ${plugin} ${device}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:PolarImport> ${plugin}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:hrmcom_standin> ${device}
    DEPENDS PolarImport hrmcom_standin
    COMMENT "Copying PolarImport.dll and the stand-in HRMCom.dll beside ${first}")
  add_custom_target(${first}_plugin_dlls DEPENDS ${plugin} ${device})
  foreach(program ${first} ${ARGN})
    add_dependencies(${program} ${first}_plugin_dlls)
  endforeach()
endfunction()
