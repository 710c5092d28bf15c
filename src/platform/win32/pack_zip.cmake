# Packs the Windows run folder RUN (tarno.exe and the data) and the licence
# LICENSE (as LICENSE.txt) into ZIP, inside one folder "tarno", so that
# unpacking never scatters files into the folder it is unpacked in.
include(${CMAKE_CURRENT_LIST_DIR}/windows_files.cmake)
tarno_windows_files(${RUN} files)
get_filename_component(stage ${ZIP} DIRECTORY)
set(stage ${stage}/zip-stage)
file(REMOVE_RECURSE ${stage})
file(MAKE_DIRECTORY ${stage}/tarno)
foreach(f ${files})
  file(COPY ${RUN}/${f} DESTINATION ${stage}/tarno)
endforeach()
configure_file(${LICENSE} ${stage}/tarno/LICENSE.txt COPYONLY)
file(REMOVE ${ZIP})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip -- tarno
                WORKING_DIRECTORY ${stage} RESULT_VARIABLE failed)
file(REMOVE_RECURSE ${stage})
if(failed)
  message(FATAL_ERROR "could not pack ${ZIP}")
endif()
