# The Linux program's folder in the build (the executable with its File
# folder of stage tracks), its icon, and what `cmake --install` puts in
# place. Progress files are written into File beside the executable, so the
# installed folder must be writable by the user: install under a prefix of
# your own, e.g. `cmake --install build/release --prefix ~/.local`.
include(${CMAKE_SOURCE_DIR}/cmake/stage_tracks.cmake)
find_package(Qt6 REQUIRED COMPONENTS Widgets)

set(program_folder ${CMAKE_BINARY_DIR}/program)
set_target_properties(burnin PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${program_folder})
add_stage_tracks(burnin ${program_folder}/File)

# The icon is drawn at build time and compiled into the program.
set(icon ${CMAKE_CURRENT_BINARY_DIR}/burnin.png)
add_custom_command(OUTPUT ${icon}
  COMMAND ${CMAKE_SOURCE_DIR}/tools/draw_icon.sh ${icon} 256
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/draw_icon.sh
  COMMENT "Drawing the program icon"
  VERBATIM)
qt_add_resources(burnin burnin_icon PREFIX / BASE ${CMAKE_CURRENT_BINARY_DIR} FILES ${icon})

set(program_destination lib/headphone-burnin)
install(TARGETS burnin RUNTIME DESTINATION ${program_destination})
install(FILES ${program_folder}/File/1.mp3 ${program_folder}/File/2.mp3 ${program_folder}/File/3.mp3
  DESTINATION ${program_destination}/File)
install(FILES ${icon} DESTINATION share/icons/hicolor/256x256/apps)
# The desktop entry names the executable by its installed path, known only
# once the install prefix is.
install(CODE "
  set(prefix \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
  file(READ \"${CMAKE_CURRENT_SOURCE_DIR}/burnin.desktop.in\" entry)
  string(REPLACE \"@BURNIN_EXECUTABLE@\" \"\${CMAKE_INSTALL_PREFIX}/${program_destination}/burnin\" entry \"\${entry}\")
  message(STATUS \"Installing: \${prefix}/share/applications/burnin.desktop\")
  file(WRITE \"\${prefix}/share/applications/burnin.desktop\" \"\${entry}\")
  file(MAKE_DIRECTORY \"\${prefix}/bin\")
  file(CREATE_LINK \"../${program_destination}/burnin\" \"\${prefix}/bin/burnin\" SYMBOLIC)
")
