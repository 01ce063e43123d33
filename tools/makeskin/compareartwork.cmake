# Runs makeskin into a fresh folder and compares what it draws with the
# committed pictures, byte for byte: every listed picture must be drawn and
# equal, and nothing may be drawn that the list leaves out.
#
#     cmake -DMAKESKIN=... -DCOMMITTED=resources -DWORK=dir -DPICTURES=a;b -P compareartwork.cmake

cmake_minimum_required(VERSION 3.25)

foreach(var MAKESKIN COMMITTED WORK PICTURES)
    if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
        message(FATAL_ERROR "compareartwork: ${var} is not given")
    endif()
endforeach()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND "${MAKESKIN}" "${WORK}/skin" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "makeskin failed: ${status}")
endif()

set(wrong 0)
foreach(picture IN LISTS PICTURES)
    if(NOT EXISTS "${WORK}/${picture}")
        message(SEND_ERROR "makeskin does not draw ${picture}")
        math(EXPR wrong "${wrong} + 1")
        continue()
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files
                            "${WORK}/${picture}" "${COMMITTED}/${picture}"
                    RESULT_VARIABLE differs OUTPUT_QUIET ERROR_QUIET)
    if(NOT differs EQUAL 0)
        message(SEND_ERROR "${picture} differs from what makeskin draws "
                           "(cmake --build BUILD --target skin redraws it)")
        math(EXPR wrong "${wrong} + 1")
    endif()
endforeach()

file(GLOB_RECURSE drawn RELATIVE "${WORK}" "${WORK}/*")
foreach(picture IN LISTS drawn)
    if(NOT picture IN_LIST PICTURES)
        message(SEND_ERROR "makeskin draws ${picture}, which resources/artwork.cmake does not list")
        math(EXPR wrong "${wrong} + 1")
    endif()
endforeach()

if(wrong GREATER 0)
    message(FATAL_ERROR "${wrong} artwork files are wrong")
endif()
list(LENGTH PICTURES count)
message(STATUS "all ${count} pictures are as makeskin draws them")
