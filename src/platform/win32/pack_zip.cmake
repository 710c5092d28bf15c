# Packs the Windows run folder RUN (tarno.exe and the data) into ZIP, inside
# one folder "tarno", so that unpacking never scatters files into the
# folder it is unpacked in.
file(GLOB files RELATIVE ${RUN} ${RUN}/tarno.exe ${RUN}/level*.dat ${RUN}/levels.idx ${RUN}/*.bmp)
include(${CMAKE_CURRENT_LIST_DIR}/sound_files.cmake)
tarno_sound_files(${RUN} sounds)
foreach(s ${sounds})
  get_filename_component(name ${s} NAME)
  list(APPEND files ${name})
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
