# A test source that nothing builds or runs guards nothing, and its cases
# pass unseen: configuring stops instead. A test program, demo or script must
# be named in a build file (a CMakeLists.txt or .cmake file under tests/, the
# top-level ones, or the Makefile, which runs the fuzzers and the soak);
# a helper (a header, a module, a sourced script) may instead be named by
# the test source that uses it. Comments in build files do not count.
function(tarno_check_test_sources)
  set(root ${CMAKE_SOURCE_DIR}/tests)
  file(GLOB_RECURSE build_files CONFIGURE_DEPENDS ${root}/CMakeLists.txt ${root}/*.cmake
    ${CMAKE_SOURCE_DIR}/cmake/*.cmake)
  list(APPEND build_files ${CMAKE_SOURCE_DIR}/CMakeLists.txt ${CMAKE_SOURCE_DIR}/Makefile)
  set(build_text "")
  foreach(f ${build_files})
    file(READ ${f} text)
    string(REGEX REPLACE "#[^\n]*" "" text "${text}")
    string(APPEND build_text "${text}\n")
  endforeach()

  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
    ${root}/*.cpp ${root}/*.h ${root}/*.py ${root}/*.sh ${root}/*.demo ${root}/*.cmake)
  set(unnamed "")
  foreach(source ${sources})
    get_filename_component(stem ${source} NAME_WE)
    set(word "(^|[^A-Za-z0-9_])${stem}([^A-Za-z0-9_]|$)")
    if(NOT source STREQUAL "${CMAKE_CURRENT_FUNCTION_LIST_FILE}" AND NOT build_text MATCHES "${word}")
      set(found OFF)
      if(source MATCHES "\\.(h|py|sh|cmake)$")
        foreach(user ${sources})
          if(NOT user STREQUAL source AND NOT found)
            file(READ ${user} text)
            if(text MATCHES "${word}")
              set(found ON)
            endif()
          endif()
        endforeach()
      endif()
      if(NOT found)
        file(RELATIVE_PATH shown ${CMAKE_SOURCE_DIR} ${source})
        list(APPEND unnamed ${shown})
      endif()
    endif()
  endforeach()
  if(unnamed)
    list(JOIN unnamed "\n  " shown)
    message(FATAL_ERROR "test sources that no build or test uses:\n  ${shown}\n"
      "Build or run each one (name it in a CMakeLists.txt), or remove it.")
  endif()
endfunction()
tarno_check_test_sources()
