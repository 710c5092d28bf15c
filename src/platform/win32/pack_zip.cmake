# Packs the Windows run folder RUN (tarno.exe and the data) into ZIP.
file(GLOB files RELATIVE ${RUN} ${RUN}/tarno.exe ${RUN}/level*.dat ${RUN}/*.bmp)
# The sounds are the game's table (SOUNDS, comma-separated): one missing
# stops the packing rather than shipping a silent game.
string(REPLACE "," ";" sounds "${SOUNDS}")
if(NOT sounds)
  message(FATAL_ERROR "pack_zip.cmake needs SOUNDS")
endif()
foreach(s ${sounds})
  if(NOT EXISTS ${RUN}/${s})
    message(FATAL_ERROR "${RUN}/${s} is missing")
  endif()
  list(APPEND files ${s})
endforeach()
file(REMOVE ${ZIP})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip -- ${files}
                WORKING_DIRECTORY ${RUN} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "could not pack ${ZIP}")
endif()
