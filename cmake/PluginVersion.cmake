# The plug-in's version has one source, project(VERSION) in the top
# CMakeLists.txt. polar_version_header(VERSION DIR) writes DIR/model/PluginVersion.h
# from model/PluginVersion.h.in for it; DIR goes on the include path.
function(polar_version_header version directory)
  string(REGEX MATCH "^([0-9]+)\\.([0-9])\\.([0-9])$" matched "${version}")
  if(NOT matched)
    # GetVersion's number has one digit each for minor and patch.
    message(FATAL_ERROR "version ${version} is not MAJOR.MINOR.PATCH with one-digit MINOR and PATCH")
  endif()
  math(EXPR POLAR_VERSION_NUMBER "${CMAKE_MATCH_1} * 100 + ${CMAKE_MATCH_2} * 10 + ${CMAKE_MATCH_3}")
  configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../model/PluginVersion.h.in
                 ${directory}/model/PluginVersion.h @ONLY)
endfunction()
