# Packs a stand-in Windows run folder the way the cross build does (data
# copied from the native run folder RUN, then zipped) and checks that the
# archive holds the game, its sheet, every level, every sound in SOUNDS and
# the licence, in one folder. Given ZIP, checks that archive instead.
#   cmake -DSOURCE=... -DRUN=... -DWORK=... -DSOUNDS=a.wav,b.wav -P packaging_test.cmake
#   cmake -DZIP=... -DSOUNDS=a.wav,b.wav -P packaging_test.cmake
cmake_minimum_required(VERSION 3.24)
if(NOT ZIP)
  set(scripts ${SOURCE}/src/platform/win32)
  set(ZIP ${WORK}/tarno-windows.zip)
  file(REMOVE_RECURSE ${WORK})
  file(MAKE_DIRECTORY ${WORK}/run)
  file(WRITE ${WORK}/run/tarno.exe "stand-in")
  foreach(step
      "-DFROM=${RUN};-DTO=${WORK}/run;-DSOUNDS=${SOUNDS};-P;${scripts}/copy_data.cmake"
      "-DRUN=${WORK}/run;-DZIP=${ZIP};-DLICENSE=${SOURCE}/LICENSE;-DSOUNDS=${SOUNDS};-P;${scripts}/pack_zip.cmake")
    execute_process(COMMAND ${CMAKE_COMMAND} ${step} RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "packing failed: ${step}")
    endif()
  endforeach()
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${ZIP}
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
# All in one folder "tarno", so that unpacking scatters nothing.
set(missing)
foreach(name ${wanted})
  if(NOT "tarno/${name}" IN_LIST listed)
    list(APPEND missing ${name})
  endif()
endforeach()
list(FILTER listed EXCLUDE REGEX "^(tarno/.*)?$")
if(listed)
  message(FATAL_ERROR "tarno-windows.zip has files outside its folder tarno/: ${listed}")
endif()
if(missing)
  message(FATAL_ERROR "tarno-windows.zip lacks: ${missing}")
endif()
if(WORK)
  file(REMOVE_RECURSE ${WORK})
endif()
message(STATUS "tarno-windows.zip holds the game, its sheet, ${n} levels and every sound")
