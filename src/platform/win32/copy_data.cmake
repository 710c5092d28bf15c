# Copies the generated data (levels, sprite sheet, sounds, icon) from a
# native run folder FROM into the Windows run folder TO. The desktop icon
# comes too, though the game does not read it: the unit tests under Wine
# check all the generated data in the run folder.
file(GLOB files ${FROM}/level*.dat ${FROM}/levels.idx ${FROM}/*.bmp ${FROM}/tarno.ico ${FROM}/tarno-icon.xpm)
if(NOT EXISTS ${FROM}/tarno.ico)
  message(FATAL_ERROR "${FROM}/tarno.ico is missing: build the native data first")
endif()
include(${CMAKE_CURRENT_LIST_DIR}/sound_files.cmake)
tarno_sound_files(${FROM} sounds)
list(APPEND files ${sounds})
file(MAKE_DIRECTORY ${TO})
foreach(f ${files})
  get_filename_component(name ${f} NAME)
  # Keep the date when nothing changed, so the resources are not rebuilt.
  execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different ${f} ${TO}/${name})
endforeach()
