# libmpg123 for the Windows program: cross-built at build time from Debian's
# source package by tools/build_mpg123_windows.sh, once per build folder, as a
# DLL (LGPL 2.1) that ships beside the exe. Defines the global imported
# target mpg123::mpg123 (building it first): its TARGET_FILE is the DLL, and
# beside it in that folder lie the mpg123.exe player and, one folder up, the
# licence text COPYING.mpg123.
set(mpg123_out ${CMAKE_BINARY_DIR}/mpg123-windows)
set(mpg123_prefix ${mpg123_out}/prefix)
set(mpg123_dll ${mpg123_prefix}/bin/libmpg123-0.dll)
set(mpg123_player ${mpg123_prefix}/bin/mpg123.exe)
set(mpg123_copying ${mpg123_prefix}/COPYING.mpg123)
set(mpg123_implib ${mpg123_prefix}/lib/libmpg123.dll.a)

add_custom_command(
  OUTPUT ${mpg123_prefix}/.built
  BYPRODUCTS ${mpg123_implib} ${mpg123_dll} ${mpg123_player} ${mpg123_copying}
             ${mpg123_prefix}/include/mpg123.h
  COMMAND ${CMAKE_SOURCE_DIR}/tools/build_mpg123_windows.sh ${mpg123_out}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/build_mpg123_windows.sh
  COMMENT "Cross-building libmpg123 from Debian's source package"
  USES_TERMINAL
  VERBATIM)
add_custom_target(mpg123_windows_build DEPENDS ${mpg123_prefix}/.built)

# The include folder must exist when the build is generated, before the
# library has been built into it.
file(MAKE_DIRECTORY ${mpg123_prefix}/include)
add_library(mpg123::mpg123 SHARED IMPORTED GLOBAL)
set_target_properties(mpg123::mpg123 PROPERTIES
  IMPORTED_IMPLIB ${mpg123_implib}
  IMPORTED_LOCATION ${mpg123_dll}
  INTERFACE_INCLUDE_DIRECTORIES ${mpg123_prefix}/include)
add_dependencies(mpg123::mpg123 mpg123_windows_build)
