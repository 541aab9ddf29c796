# Run at install time: installs the Debian copyright file of every package
# that provides a shared library POLAR_PROGRAM links, as
# POLAR_LICENSES_DIR/<package> below the install prefix. Fails when a library
# has no package or the package no copyright file, rather than leave a
# licence out.
file(GET_RUNTIME_DEPENDENCIES EXECUTABLES "${POLAR_PROGRAM}"
     RESOLVED_DEPENDENCIES_VAR libraries UNRESOLVED_DEPENDENCIES_VAR unresolved)
if(unresolved)
  message(FATAL_ERROR "${POLAR_PROGRAM} links libraries not found: ${unresolved}")
endif()

set(packages "")
foreach(library IN LISTS libraries)
  # dpkg knows a file by the path its package gave, and a merged /usr shows
  # every library under /lib and /usr/lib alike.
  file(REAL_PATH "${library}" real)
  set(paths "")
  foreach(path IN ITEMS "${library}" "${real}")
    string(REGEX REPLACE "^/usr/lib/" "/lib/" below_lib "${path}")
    string(REGEX REPLACE "^/lib/" "/usr/lib/" below_usr "${path}")
    list(APPEND paths "${path}" "${below_lib}" "${below_usr}")
  endforeach()
  list(REMOVE_DUPLICATES paths)
  execute_process(COMMAND dpkg-query --search ${paths} OUTPUT_VARIABLE found ERROR_QUIET)
  # "package:arch: path", or "package: path" for a file of every architecture.
  if(NOT found MATCHES "(^|\n)([^:\n ]+)(:[a-z0-9]+)?: /")
    message(FATAL_ERROR "no Debian package holds ${library}, which ${POLAR_PROGRAM} links")
  endif()
  list(APPEND packages "${CMAKE_MATCH_2}")
endforeach()
list(REMOVE_DUPLICATES packages)

foreach(package IN LISTS packages)
  set(copyright "/usr/share/doc/${package}/copyright")
  if(NOT EXISTS "${copyright}")
    message(FATAL_ERROR "${package} has no ${copyright}")
  endif()
  # The file itself, not a link to it (/usr/share/doc/libstdc++6 is one).
  file(REAL_PATH "${copyright}" copyright)
  file(INSTALL "${copyright}" DESTINATION "${CMAKE_INSTALL_PREFIX}/${POLAR_LICENSES_DIR}" RENAME "${package}")
endforeach()
