# Packs the Windows run folder RUN (tarno.exe and the data) into ZIP.
file(GLOB files RELATIVE ${RUN} ${RUN}/tarno.exe ${RUN}/level*.dat ${RUN}/*.bmp ${RUN}/*.wav)
file(REMOVE ${ZIP})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip -- ${files}
                WORKING_DIRECTORY ${RUN} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "could not pack ${ZIP}")
endif()
