# Third-party libraries: minizip (ZIP), pugixml (XML), GoogleTest.
# Native builds use Debian's -dev packages.
if(NOT WIN32)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(MINIZIP REQUIRED IMPORTED_TARGET minizip)
  add_library(minizip INTERFACE)
  target_link_libraries(minizip INTERFACE PkgConfig::MINIZIP)
  find_package(pugixml REQUIRED)
  add_library(pugixml_dep INTERFACE)
  target_link_libraries(pugixml_dep INTERFACE pugixml::pugixml)
  find_package(GTest REQUIRED)
  add_library(polar_system_libs INTERFACE)
  return()
endif()

# Windows builds compile the libraries from the Debian sources of the -dev
# packages the native build links, which scripts/fetch-sources.sh unpacks
# into POLAR_DEPS_DIR. minizip is a source package of its own on some Debian
# releases and part of zlib's on others.
set(POLAR_DEPS_DIR "${CMAKE_SOURCE_DIR}/deps" CACHE PATH "Unpacked library sources for the Windows builds")

file(GLOB _polar_minizip_files
  "${POLAR_DEPS_DIR}/src/libminizip-dev/*/iowin32.c"
  "${POLAR_DEPS_DIR}/src/libminizip-dev/*/contrib/minizip/iowin32.c")
file(GLOB _polar_pugixml_dirs LIST_DIRECTORIES true "${POLAR_DEPS_DIR}/src/libpugixml-dev/*/src")
if(NOT _polar_minizip_files OR NOT _polar_pugixml_dirs)
  message(FATAL_ERROR "minizip or pugixml sources missing in ${POLAR_DEPS_DIR}/src; run scripts/setup.sh")
endif()
list(GET _polar_minizip_files 0 _polar_minizip_file)
get_filename_component(POLAR_MINIZIP_DIR "${_polar_minizip_file}" DIRECTORY)
list(GET _polar_pugixml_dirs 0 POLAR_PUGIXML_DIR)

# Nothing of the Windows builds may need a MinGW runtime DLL at run time.
add_link_options(-static)

# The system DLLs the framework's Windows back ends call (kernel32 comes by default).
add_library(polar_system_libs INTERFACE)
target_link_libraries(polar_system_libs INTERFACE user32 gdi32 shell32 comctl32 comdlg32 advapi32)

# zlib itself is Debian's MinGW build (libz-mingw-w64-dev).
find_library(POLAR_MINGW_ZLIB NAMES libz.a z REQUIRED)

add_library(minizip STATIC
  ${POLAR_MINIZIP_DIR}/zip.c
  ${POLAR_MINIZIP_DIR}/unzip.c
  ${POLAR_MINIZIP_DIR}/ioapi.c
  ${POLAR_MINIZIP_DIR}/iowin32.c
)
target_include_directories(minizip SYSTEM PUBLIC ${POLAR_MINIZIP_DIR})
target_link_libraries(minizip PUBLIC ${POLAR_MINGW_ZLIB})
target_compile_options(minizip PRIVATE -w)

add_library(pugixml_dep STATIC ${POLAR_PUGIXML_DIR}/pugixml.cpp)
target_include_directories(pugixml_dep SYSTEM PUBLIC ${POLAR_PUGIXML_DIR})
target_compile_options(pugixml_dep PRIVATE -w)

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(_polar_gtest_target gtest gtest_main gmock gmock_main)
  if(TARGET ${_polar_gtest_target})
    target_compile_options(${_polar_gtest_target} PRIVATE -w)
    if(NOT TARGET GTest::${_polar_gtest_target})
      add_library(GTest::${_polar_gtest_target} ALIAS ${_polar_gtest_target})
    endif()
  endif()
endforeach()

# Link options of the shipped DLL: the undecorated names of the .def file bind
# to the stdcall-decorated symbols (_Name@N) on i686, and libgcc, libstdc++
# and winpthread go in statically.
function(polar_windows_dll_options target)
  target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++ -Wl,--enable-stdcall-fixup)
  target_link_libraries(${target} PRIVATE polar_system_libs)
endfunction()
