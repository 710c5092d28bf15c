# Packs a stand-in Windows run folder the way the cross build does (data
# copied from the native run folder RUN, then zipped) and checks that the
# archive holds the game, its sheet, every level, every sound in SOUNDS and
# the licence.
#   cmake -DSOURCE=... -DRUN=... -DWORK=... -DSOUNDS=a.wav,b.wav -P packaging_test.cmake
set(scripts ${SOURCE}/src/platform/win32)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/run)
file(WRITE ${WORK}/run/tarno.exe "stand-in")
foreach(step
    "-DFROM=${RUN};-DTO=${WORK}/run;-DSOUNDS=${SOUNDS};-P;${scripts}/copy_data.cmake"
    "-DRUN=${WORK}/run;-DZIP=${WORK}/tarno-windows.zip;-DLICENSE=${SOURCE}/LICENSE;-DSOUNDS=${SOUNDS};-P;${scripts}/pack_zip.cmake")
  execute_process(COMMAND ${CMAKE_COMMAND} ${step} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "packing failed: ${step}")
  endif()
endforeach()
execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${WORK}/tarno-windows.zip
                OUTPUT_VARIABLE listed RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "tarno-windows.zip cannot be read")
endif()
string(REPLACE "," ";" wanted "${SOUNDS}")
list(APPEND wanted tarno.exe pieces.bmp LICENSE.txt)
foreach(n RANGE 1 12)
  list(APPEND wanted level${n}.dat)
endforeach()
string(REPLACE "\n" ";" listed "${listed}")
set(missing)
foreach(name ${wanted})
  # The archive may keep its files in a folder of their own.
  set(found OFF)
  foreach(entry ${listed})
    get_filename_component(base ${entry} NAME)
    if(base STREQUAL name)
      set(found ON)
    endif()
  endforeach()
  if(NOT found)
    list(APPEND missing ${name})
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "tarno-windows.zip lacks: ${missing}")
endif()
file(REMOVE_RECURSE ${WORK})
message(STATUS "tarno-windows.zip holds the game, its sheet, ${n} levels and every sound")
