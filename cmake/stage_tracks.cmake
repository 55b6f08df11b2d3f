# The three stage tracks, made at build time by tools/make_stage_tracks.sh
# (sox and lame) once per build folder, and copied into a program's File
# folder, which also makes sure that folder exists for the progress files.
#
#   add_stage_tracks(<target> <folder>)  # <folder>/1.mp3 to 3.mp3 before <target>
find_program(SOX_EXECUTABLE sox REQUIRED)
find_program(LAME_EXECUTABLE lame REQUIRED)

function(add_stage_tracks target folder)
  set(script ${CMAKE_SOURCE_DIR}/tools/make_stage_tracks.sh)
  set(cache ${CMAKE_BINARY_DIR}/stage_tracks)
  set(made ${cache}/1.mp3 ${cache}/2.mp3 ${cache}/3.mp3)
  if(NOT TARGET stage_tracks)
    add_custom_command(OUTPUT ${made}
      COMMAND ${script} ${cache}
      DEPENDS ${script}
      COMMENT "Making the stage tracks"
      VERBATIM)
    add_custom_target(stage_tracks DEPENDS ${made})
  endif()

  set(copies ${folder}/1.mp3 ${folder}/2.mp3 ${folder}/3.mp3)
  add_custom_command(OUTPUT ${copies}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${CMAKE_COMMAND} -E copy ${made} ${folder}
    DEPENDS ${made} stage_tracks
    COMMENT "Copying the stage tracks into ${folder}"
    VERBATIM)
  add_custom_target(${target}_stage_tracks DEPENDS ${copies})
  add_dependencies(${target} ${target}_stage_tracks)
endfunction()
