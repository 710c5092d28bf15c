# The files a Windows player gets, by name, from the run folder RUN: the
# game, its levels and their index, the sprite sheet and every sound of the
# game's table (SOUNDS). The zip and the installer ship this same list.
include(${CMAKE_CURRENT_LIST_DIR}/sound_files.cmake)
function(tarno_windows_files run out)
  file(GLOB files RELATIVE ${run} ${run}/tarno.exe ${run}/level*.dat ${run}/levels.idx ${run}/*.bmp)
  tarno_sound_files(${run} sounds)
  foreach(s ${sounds})
    get_filename_component(name ${s} NAME)
    list(APPEND files ${name})
  endforeach()
  set(${out} ${files} PARENT_SCOPE)
endfunction()
