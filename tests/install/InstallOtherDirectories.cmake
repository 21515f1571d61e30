# cmake -DSOURCE_DIR=... -DWORK_DIR=... -DGENERATOR=... -DCXX=... [-DLAUNCHER=...]
#       -P InstallOtherDirectories.cmake
# Installs torvela-cli into games/ and its data into share/games/torvela/
# under a scratch prefix, then runs the installed program there.
cmake_minimum_required(VERSION 3.25)

function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${what} failed (${rc}):\n${out}")
  endif()
endfunction()

set(build "${WORK_DIR}/build")
set(prefix "${WORK_DIR}/prefix")
file(REMOVE_RECURSE "${prefix}")
set(options
  -DCMAKE_BUILD_TYPE=
  -DCMAKE_INSTALL_PREFIX=${prefix}
  -DCMAKE_INSTALL_BINDIR=games
  -DCMAKE_INSTALL_DATADIR=share/games
  -DTORVELA_BUILD_UI=OFF -DTORVELA_BUILD_TESTS=OFF -DTORVELA_BUILD_BENCH=OFF)
if(LAUNCHER)
  list(APPEND options -DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER})
endif()
run("configure" ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${build} -G ${GENERATOR}
    -DCMAKE_CXX_COMPILER=${CXX} ${options})
run("build" ${CMAKE_COMMAND} --build ${build} --target torvela-cli torvela_packaging_files)
run("install" ${CMAKE_COMMAND} --install ${build})

set(cli "${prefix}/games/torvela-cli")
foreach(file "${cli}" "${prefix}/share/games/torvela/planet.txt"
             "${prefix}/share/games/torvela/latitude.txt")
  if(NOT EXISTS "${file}")
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
if(EXISTS "${prefix}/games/planet.txt" OR EXISTS "${prefix}/share/torvela")
  message(FATAL_ERROR "data installed where the test cannot tell the directories apart")
endif()

# Run from elsewhere, so nothing is found through the working directory.
execute_process(COMMAND "${cli}" --date 2000-01-01 --time 12:00 --sex 男 --now 2026-12-06T12:00
                WORKING_DIRECTORY "${WORK_DIR}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT out MATCHES "天干 +戊 +戊 +丙 +己")
  message(FATAL_ERROR "the installed torvela-cli did not draw the chart (${rc}):\n${out}${err}")
endif()
message(STATUS "installed ${cli} found its data in ${prefix}/share/games/torvela")
