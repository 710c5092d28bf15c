# Builds the Windows installer SETUP with makensis (MAKENSIS) from the NSIS
# script SCRIPT: the files of the zip from the run folder RUN, and the
# licence LICENSE, at version VERSION.
#   cmake -DMAKENSIS=... -DSCRIPT=... -DRUN=... -DSETUP=... -DLICENSE=... -DVERSION=... -DSOUNDS=... -P pack_setup.cmake
include(${CMAKE_CURRENT_LIST_DIR}/windows_files.cmake)
tarno_windows_files(${RUN} files)
# One install line and one remove line per file, so that the uninstaller
# takes away exactly what the installer put there.
set(install)
set(remove)
foreach(f ${files})
  string(APPEND install "  File \"${RUN}/${f}\"\n")
  string(APPEND remove "  Delete \"$INSTDIR\\${f}\"\n")
endforeach()
# The version resource wants four numbers.
set(version4 ${VERSION})
while(NOT version4 MATCHES "^[0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+$")
  string(APPEND version4 ".0")
endwhile()
get_filename_component(work ${SETUP} DIRECTORY)
set(list ${work}/tarno-setup-files.nsh)
file(WRITE ${list} "!macro TARNO_INSTALL_FILES\n${install}!macroend\n!macro TARNO_REMOVE_FILES\n${remove}!macroend\n")
execute_process(COMMAND ${MAKENSIS} -V2 -INPUTCHARSET UTF8 -DVERSION=${VERSION} -DVERSION4=${version4} -DOUTFILE=${SETUP} -DRUN=${RUN}
                        -DFILES=${list} -DLICENSE=${LICENSE} ${SCRIPT}
                RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "makensis could not build ${SETUP}")
endif()
