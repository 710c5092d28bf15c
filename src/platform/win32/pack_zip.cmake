# Packs the Windows run folder RUN (tarno.exe and the data) into ZIP, inside
# one folder "tarno", so that unpacking never scatters files into the
# folder it is unpacked in.
file(GLOB files RELATIVE ${RUN} ${RUN}/tarno.exe ${RUN}/level*.dat ${RUN}/levels.idx ${RUN}/*.bmp)
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
get_filename_component(stage ${ZIP} DIRECTORY)
set(stage ${stage}/zip-stage)
file(REMOVE_RECURSE ${stage})
file(MAKE_DIRECTORY ${stage}/tarno)
foreach(f ${files})
  file(COPY ${RUN}/${f} DESTINATION ${stage}/tarno)
endforeach()
file(REMOVE ${ZIP})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip -- tarno
                WORKING_DIRECTORY ${stage} RESULT_VARIABLE failed)
file(REMOVE_RECURSE ${stage})
if(failed)
  message(FATAL_ERROR "could not pack ${ZIP}")
endif()
