# The browser site, built from a native build: the data comes from this
# build's generators, the game from a second, emscripten build of the same
# sources in web/, whose site/ folder is the whole site.
find_program(TARNO_EMCMAKE emcmake)
find_file(TARNO_EMSCRIPTEN_TOOLCHAIN Emscripten.cmake
  PATHS /usr/share/emscripten/cmake/Modules/Platform /usr/lib/emscripten/cmake/Modules/Platform NO_DEFAULT_PATH)
if(NOT TARNO_EMCMAKE OR NOT TARNO_EMSCRIPTEN_TOOLCHAIN)
  # Asked for and missing is a mistake, not a reason to skip the site quietly.
  message(FATAL_ERROR "emscripten is not installed: make web (or make check) installs it")
endif()

set(TARNO_WEB_BUILD_DIR ${CMAKE_BINARY_DIR}/web)
set(TARNO_WEB_SITE_DIR ${TARNO_WEB_BUILD_DIR}/site)
# Debian's emcc finds its JavaScript modules through NODE_PATH when the node
# on the PATH is not Debian's own. The inner build runs its own make, one job
# a core, rather than one that asks the outer make for job slots: it is the
# last and longest step of a full build, and would otherwise run alone on one.
set(web_env ${CMAKE_COMMAND} -E env --unset=MAKEFLAGS --unset=MFLAGS NODE_PATH=/usr/share/nodejs)
cmake_host_system_information(RESULT web_jobs QUERY NUMBER_OF_LOGICAL_CORES)
add_custom_target(tarno-web ALL
  COMMAND ${web_env} ${CMAKE_COMMAND} -S ${CMAKE_SOURCE_DIR} -B ${TARNO_WEB_BUILD_DIR}
    -DCMAKE_TOOLCHAIN_FILE=${TARNO_EMSCRIPTEN_TOOLCHAIN} -DCMAKE_BUILD_TYPE=Release
    -DTARNO_WERROR=${TARNO_WERROR} -DTARNO_WEB_DATA_DIR=${TARNO_RUN_DIR}
  COMMAND ${web_env} ${CMAKE_COMMAND} --build ${TARNO_WEB_BUILD_DIR} --parallel ${web_jobs}
  DEPENDS tarno-data
  COMMENT "Building the browser site"
  VERBATIM USES_TERMINAL)
add_dependencies(tarno-web tarno-data)
